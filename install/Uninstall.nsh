; The uninstaller: included by Glimwick.nsi, whose names it uses.

; Deletes FILE; a file that exists and cannot be deleted is added to the
; list in $1.
!macro RemoveInstalledFile FILE
  ClearErrors
  Delete "${FILE}"
  ${If} ${Errors}
    StrCpy $1 "$1${FILE}$\r$\n"
  ${EndIf}
!macroend

Section "Uninstall"
  ; The program's own uninstall switch ends the running instance and
  ; deletes its settings key.
  ClearErrors
  ExecWait '"$INSTDIR\${PROGRAM}" /UNREGIST'
  ${If} ${Errors}
    DetailPrint "$(CannotRun)"
    !insertmacro EndRunningInstance "$INSTDIR\${PROGRAM}"
    DeleteRegKey HKCU "${SETTINGS_KEY}"
  ${EndIf}
  ; The switch waits two seconds at most; a busy program takes longer.
  !insertmacro WaitUntilNoInstance
  ${If} ${Errors}
    MessageBox MB_ICONSTOP "$(CannotEnd)" /SD IDOK
    Abort "$(CannotEnd)"
  ${EndIf}
  ; Whether it was freed in time shows when it is deleted.
  !insertmacro WaitUntilFileFree "$INSTDIR\${PROGRAM}"

  ; Nothing else is removed while a file stays, so the list entry and the
  ; uninstaller remain for another try.
  StrCpy $1 ""
  !insertmacro RemoveInstalledFile "$INSTDIR\${PROGRAM}"
  !insertmacro RemoveInstalledFile "$INSTDIR\Sillbeck.dll"
  !insertmacro RemoveInstalledFile "$INSTDIR\glimctl.exe"
  ${If} $1 != ""
    MessageBox MB_ICONSTOP "$(CannotRemove)" /SD IDOK
    Abort "$(CannotRemove)"
  ${EndIf}

  Delete "${SHORTCUT}"
  DeleteRegValue HKCU "${RUN_KEY}" "${PRODUCT}"
  ; Other programs of the publisher may keep their settings there.
  DeleteRegKey /ifempty HKCU "${SETTINGS_PARENT}"
  Delete "$INSTDIR\${UNINSTALLER}"
  ; Only when empty: files the user put there are not ours to delete.
  ClearErrors
  RMDir "$INSTDIR"
  ${If} ${Errors}
    DetailPrint "$(FolderKept)"
  ${EndIf}
  ; Last, so that an uninstall stopped above can be started again.
  DeleteRegKey HKCU "${UNINSTALL_KEY}"
SectionEnd
