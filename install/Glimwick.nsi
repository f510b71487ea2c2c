; The setup program and uninstaller of Glimwick: a per-user install without
; administrator rights. The build passes VERSION, BINDIR (the folder with the
; built programs), ICON and OUTFILE with -D.
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

Name "${PRODUCT} ${VERSION}"
OutFile "${OUTFILE}"
InstallDir "$LOCALAPPDATA\Programs\${PRODUCT}"
; An upgrade goes where the installed copy is.
InstallDirRegKey HKCU "${UNINSTALL_KEY}" "InstallLocation"
BrandingText "${PRODUCT} ${VERSION}"
ShowInstDetails show
ShowUninstDetails show

VIProductVersion "${VERSION}.0.0"
VIAddVersionKey /LANG=1041 "ProductName" "${PRODUCT}"
VIAddVersionKey /LANG=1041 "CompanyName" "${PUBLISHER}"
VIAddVersionKey /LANG=1041 "FileDescription" "${PRODUCT} セットアップ"
VIAddVersionKey /LANG=1041 "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=1041 "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=1041 "LegalCopyright" "${PUBLISHER}"

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
LangString CannotRun ${LANG_JAPANESE} "Glimwick.exe を実行できませんでした。実行中の Glimwick を終了し、設定を削除します。"
LangString FolderKept ${LANG_JAPANESE} "ほかのファイルが残っているため、フォルダーは残しました: $INSTDIR"

Section "$(SectionProgram)" SecProgram
  SectionIn RO
  SetOutPath "$INSTDIR"
  ; An upgrade or repair: the running program holds its files.
  !insertmacro EndRunningInstance "$INSTDIR\${PROGRAM}"
  ${If} ${Errors}
    MessageBox MB_ICONSTOP "$(CannotEnd)" /SD IDOK
    Abort "$(CannotEnd)"
  ${EndIf}

  File "${BINDIR}\${PROGRAM}"
  File "${BINDIR}\Sillbeck.dll"
  File "${BINDIR}\glimctl.exe"
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
  ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "EstimatedSize" $0
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

!include Uninstall.nsh
