; The uninstaller: included by Glimwick.nsi, whose names it uses.

Section "Uninstall"
  !insertmacro TakeSetupLock $0
  ${If} $0 = 0
    MessageBox MB_ICONSTOP "$(CannotWait)" /SD IDOK
    Abort "$(CannotWait)"
  ${EndIf}
  !insertmacro EndRunningInstance "$INSTDIR\${PROGRAM}" $0
  ${If} $0 = 0
    MessageBox MB_ICONSTOP "$(CannotEnd)" /SD IDOK
    Abort "$(CannotEnd)"
  ${EndIf}
  ; Nothing is removed while a file cannot go, so a failed uninstall leaves
  ; the whole program, its settings and its entries.
  StrCpy $1 ""
  !insertmacro ForEachProgramFile ListFileInUse "$INSTDIR"
  ${If} $1 != ""
    MessageBox MB_ICONSTOP "$(CannotRemove)" /SD IDOK
    Abort "$(CannotRemove)"
  ${EndIf}

  ; The settings and the entries are this copy's unless the list entry
  ; names another folder: a left-over uninstaller elsewhere must not take
  ; the installed copy's.
  ReadRegStr $2 HKCU "${UNINSTALL_KEY}" "InstallLocation"
  ${If} $2 == ""
    StrCpy $2 $INSTDIR
  ${EndIf}
  ${If} $2 == $INSTDIR
    ; The program's own uninstall switch deletes its settings key.
    ClearErrors
    ExecWait '"$INSTDIR\${PROGRAM}" /UNREGIST'
    ${If} ${Errors}
      DetailPrint "$(CannotRun)"
      DeleteRegKey HKCU "${SETTINGS_KEY}"
    ${EndIf}
    ; What starts the program goes before the program, so that a file
    ; taken meanwhile leaves no entry pointing at a missing program.
    Delete "${SHORTCUT}"
    DeleteRegValue HKCU "${RUN_KEY}" "${PRODUCT}"
  ${EndIf}
  ; The switch's process may still hold its file for a moment; whether it
  ; was freed in time shows when it is deleted.
  !insertmacro WaitUntilFileFree "$INSTDIR\${PROGRAM}" $0
  !insertmacro RemoveCopy "$INSTDIR"
  ${If} $1 != ""
    MessageBox MB_ICONSTOP "$(CannotRemove)" /SD IDOK
    Abort "$(CannotRemove)"
  ${EndIf}
  ; Other programs of the publisher may keep their settings there.
  DeleteRegKey /ifempty HKCU "${SETTINGS_PARENT}"
  ; Last, so that an uninstall stopped above can be started again.
  ${If} $2 == $INSTDIR
    DeleteRegKey HKCU "${UNINSTALL_KEY}"
  ${EndIf}
SectionEnd
