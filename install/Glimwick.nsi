; The setup program and uninstaller of Glimwick: a per-user install without
; administrator rights. The build passes VERSION ("2.2"), VERSION_QUAD
; ("2.2.0.0"), BINDIR (the folder with the built programs), ICON, OUTDIR and
; OUTNAME with -D, and SIGN_SCRIPT when it signs what it makes.
;
; Switches: /S (silent), /D=FOLDER, /AUTOSTART=0 or 1 (start with Windows;
; without it a fresh install starts with Windows and an upgrade keeps the
; user's choice), /DOWNGRADE (replace a newer installed version).
Unicode true
; The programs are x86-64, and a 64-bit setup also runs where only a 64-bit
; Wine is installed.
Target amd64-unicode
SetCompressor /SOLID lzma
RequestExecutionLevel user
; A file that cannot be replaced stops the setup instead of being skipped.
AllowSkipFiles off

!include MUI2.nsh
!include FileFunc.nsh
!include LogicLib.nsh
!include Sections.nsh
!include WordFunc.nsh
!include Instance.nsh

!define PRODUCT "Glimwick"
!define PUBLISHER "MOSS-HARK"
!define PROGRAM "Glimwick.exe"
!define UNINSTALLER "uninstall.exe"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\${PRODUCT}"
!define RUN_KEY "Software\Microsoft\Windows\CurrentVersion\Run"
!define SETTINGS_PARENT "Software\MOSS-HARK"
!define SETTINGS_KEY "${SETTINGS_PARENT}\Glimwick"
!define SHORTCUT "$SMPROGRAMS\${PRODUCT}.lnk"
!define LANGID_JAPANESE 1041
!define LANGID_ENGLISH 1033
; ${VersionCompare}'s answer when its first version is the newer.
!define FIRST_IS_NEWER 1
; EstimatedSize is in KB, rounded up.
!define BYTES_PER_KB 1024
!define /math KB_ROUNDING ${BYTES_PER_KB} - 1

!include Copy.nsh

; The folder of the installed copy, as its uninstall entry names it; empty
; when there is none.
Var OldDir

!ifdef SIGN_SCRIPT
  !finalize '"${SIGN_SCRIPT}" "%1"' = 0
  !uninstfinalize '"${SIGN_SCRIPT}" "%1"' = 0
!endif

Name "${PRODUCT} ${VERSION}"
OutFile "${OUTDIR}/${OUTNAME}"
InstallDir "$LOCALAPPDATA\Programs\${PRODUCT}"
; An upgrade goes where the installed copy is.
InstallDirRegKey HKCU "${UNINSTALL_KEY}" "InstallLocation"
BrandingText "${PRODUCT} ${VERSION}"
ShowInstDetails show
ShowUninstDetails show

VIProductVersion "${VERSION_QUAD}"
VIFileVersion "${VERSION_QUAD}"
!macro VersionBlock LANGID DESCRIPTION
  VIAddVersionKey /LANG=${LANGID} "ProductName" "${PRODUCT}"
  VIAddVersionKey /LANG=${LANGID} "CompanyName" "${PUBLISHER}"
  VIAddVersionKey /LANG=${LANGID} "FileDescription" "${DESCRIPTION}"
  VIAddVersionKey /LANG=${LANGID} "FileVersion" "${VERSION_QUAD}"
  VIAddVersionKey /LANG=${LANGID} "ProductVersion" "${VERSION_QUAD}"
  VIAddVersionKey /LANG=${LANGID} "OriginalFilename" "${OUTNAME}"
  VIAddVersionKey /LANG=${LANGID} "LegalCopyright" "${PUBLISHER}"
!macroend
!insertmacro VersionBlock ${LANGID_JAPANESE} "${PRODUCT} セットアップ"
!insertmacro VersionBlock ${LANGID_ENGLISH} "${PRODUCT} Setup"

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!define MUI_ABORTWARNING
!define MUI_COMPONENTSPAGE_NODESC
!define MUI_FINISHPAGE_RUN
!define MUI_FINISHPAGE_RUN_FUNCTION StartProgram

!insertmacro MUI_PAGE_WELCOME
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_COMPONENTS
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH

!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES

!insertmacro MUI_LANGUAGE "Japanese"

LangString SectionProgram ${LANG_JAPANESE} "Glimwick 本体"
LangString SectionStartup ${LANG_JAPANESE} "Windows の起動時に開始する"
LangString EndingInstance ${LANG_JAPANESE} "実行中の Glimwick を終了しています..."
LangString CannotEnd ${LANG_JAPANESE} "実行中の Glimwick を終了できませんでした。$\r$\nGlimwick を終了してから、もう一度実行してください。"
LangString CannotRemove ${LANG_JAPANESE} "次のファイルを削除できませんでした。使用中の可能性があります。$\r$\n$1$\r$\nGlimwick を終了してから、もう一度アンインストールしてください。"
LangString CannotRun ${LANG_JAPANESE} "Glimwick.exe を実行できませんでした。設定を削除します。"
LangString FolderKept ${LANG_JAPANESE} "ほかのファイルが残っているため、フォルダーは残しました:"
LangString CannotWait ${LANG_JAPANESE} "ほかの Glimwick のセットアップが終わりませんでした。$\r$\nしばらくしてから、もう一度実行してください。"
LangString NewerInstalled ${LANG_JAPANESE} "新しいバージョンの Glimwick ($0) がインストールされています。$\r$\nバージョン ${VERSION} で置き換えるには /DOWNGRADE を付けて実行してください。"
LangString BadAutostart ${LANG_JAPANESE} "/AUTOSTART には 0 か 1 を指定してください。"
LangString RemovingOld ${LANG_JAPANESE} "以前のフォルダーの Glimwick を削除しています: $OldDir"
LangString CannotRemoveOld ${LANG_JAPANESE} "以前のフォルダーの次のファイルを削除できませんでした。使用中の可能性があります。$\r$\n$1$\r$\nGlimwick を終了してから、もう一度実行してください。"

Section "$(SectionProgram)" SecProgram
  SectionIn RO
  !insertmacro TakeSetupLock $0
  ${If} $0 = 0
    MessageBox MB_ICONSTOP "$(CannotWait)" /SD IDOK
    Abort "$(CannotWait)"
  ${EndIf}
  ; Read again now that no other setup runs.
  ReadRegStr $OldDir HKCU "${UNINSTALL_KEY}" "InstallLocation"
  ; An upgrade or repair: the running program holds its files, in this
  ; folder or the installed copy's.
  !insertmacro EndRunningInstance "$INSTDIR\${PROGRAM}" $0
  ${If} $0 = 1
  ${AndIf} $OldDir != ""
    !insertmacro WaitUntilFileFree "$OldDir\${PROGRAM}" $0
  ${EndIf}
  ${If} $0 = 0
    MessageBox MB_ICONSTOP "$(CannotEnd)" /SD IDOK
    Abort "$(CannotEnd)"
  ${EndIf}
  ; Installing into another folder: the copy the entry names goes first,
  ; by the uninstaller's rules, so that nothing is left without an entry.
  ${If} $OldDir != ""
  ${AndIf} $OldDir != $INSTDIR
    Call RemoveOldCopy
  ${EndIf}

  SetOutPath "$INSTDIR"
  !insertmacro ForEachProgramFile InstallFile "${BINDIR}"
  WriteUninstaller "$INSTDIR\${UNINSTALLER}"

  CreateShortcut "${SHORTCUT}" "$INSTDIR\${PROGRAM}"
  ; Written again by the next section when that is chosen.
  DeleteRegValue HKCU "${RUN_KEY}" "${PRODUCT}"

  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "Publisher" "${PUBLISHER}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\${PROGRAM},0"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\${UNINSTALLER}"'
  WriteRegStr HKCU "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\${UNINSTALLER}" /S'
  ; Only what the setup installed: the folder may hold the user's files.
  StrCpy $2 0
  !insertmacro ForEachProgramFile AddFileSize "$INSTDIR"
  !insertmacro AddFileSize "$INSTDIR\${UNINSTALLER}"
  IntOp $2 $2 + ${KB_ROUNDING}
  IntOp $2 $2 / ${BYTES_PER_KB}
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "EstimatedSize" $2
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoRepair" 1
SectionEnd

Section "$(SectionStartup)" SecStartup
  WriteRegStr HKCU "${RUN_KEY}" "${PRODUCT}" '"$INSTDIR\${PROGRAM}"'
SectionEnd

; The finish page starts the program when its box is ticked; a silent setup
; has no page, so it starts the program here.
Section "-Start"
  ${If} ${Silent}
    Call StartProgram
  ${EndIf}
SectionEnd

Function StartProgram
  SetOutPath "$INSTDIR"
  Exec '"$INSTDIR\${PROGRAM}"'
FunctionEnd

; Removes the copy in $OldDir, whose program has ended; stops the setup,
; with that copy whole, when one of its files cannot go.
Function RemoveOldCopy
  StrCpy $1 ""
  !insertmacro ForEachProgramFile ListFileInUse "$OldDir"
  ${If} $1 == ""
    DetailPrint "$(RemovingOld)"
    !insertmacro RemoveCopy "$OldDir"
  ${EndIf}
  ${If} $1 != ""
    MessageBox MB_ICONSTOP "$(CannotRemoveOld)" /SD IDOK
    Abort "$(CannotRemoveOld)"
  ${EndIf}
FunctionEnd

Function .onInit
  ReadRegStr $OldDir HKCU "${UNINSTALL_KEY}" "InstallLocation"
  ${GetParameters} $1

  ReadRegStr $0 HKCU "${UNINSTALL_KEY}" "DisplayVersion"
  ${If} $0 != ""
    ${VersionCompare} $0 "${VERSION}" $2
    ClearErrors
    ${GetOptions} $1 "/DOWNGRADE" $3
    ${If} $2 = ${FIRST_IS_NEWER}
    ${AndIf} ${Errors}
      MessageBox MB_ICONSTOP "$(NewerInstalled)" /SD IDOK
      SetErrorLevel 2
      Quit
    ${EndIf}
  ${EndIf}

  ; Start with Windows: as the switch says; else as the installed copy
  ; had it (its Run value), and on for a fresh install.
  ClearErrors
  ${GetOptions} $1 "/AUTOSTART=" $3
  ${If} ${Errors}
    ${If} $OldDir != ""
      ReadRegStr $3 HKCU "${RUN_KEY}" "${PRODUCT}"
      ${If} $3 == ""
        !insertmacro UnselectSection ${SecStartup}
      ${EndIf}
    ${EndIf}
  ${ElseIf} $3 == "0"
    !insertmacro UnselectSection ${SecStartup}
  ${ElseIf} $3 != "1"
    MessageBox MB_ICONSTOP "$(BadAutostart)" /SD IDOK
    SetErrorLevel 2
    Quit
  ${EndIf}
FunctionEnd

!include Uninstall.nsh
