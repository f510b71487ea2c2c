; The files of an installed copy, shared by the setup program (which
; installs them and removes a copy it moves away from) and the uninstaller.
; Included by Glimwick.nsi, whose names it uses.

; The files of an installed copy besides the uninstaller, each passed to
; MACRO with the folder DIR in front.
!macro ForEachProgramFile MACRO DIR
  !insertmacro ${MACRO} "${DIR}\${PROGRAM}"
  !insertmacro ${MACRO} "${DIR}\Sillbeck.dll"
  !insertmacro ${MACRO} "${DIR}\glimctl.exe"
!macroend

!macro InstallFile FILE
  File "${FILE}"
!macroend

; Adds the size of FILE in bytes to $2. Uses $0 and $3.
!macro AddFileSize FILE
  StrCpy $3 0
  ClearErrors
  FileOpen $0 "${FILE}" r
  ${IfNot} ${Errors}
    FileSeek $0 0 END $3
    FileClose $0
  ${EndIf}
  IntOp $2 $2 + $3
!macroend

; Deletes FILE; a file that exists and cannot be deleted is added to the
; list in $1.
!macro RemoveInstalledFile FILE
  ClearErrors
  Delete "${FILE}"
  ${If} ${Errors}
    StrCpy $1 "$1${FILE}$\r$\n"
  ${EndIf}
!macroend

; Removes the copy in DIR: the files the setup installed, then the folder
; only when empty, as files the user put there are not ours to delete. The
; uninstaller stays when any program file could not go (listed in $1), so
; that the removal can be tried again.
!macro RemoveCopy DIR
  StrCpy $1 ""
  !insertmacro ForEachProgramFile RemoveInstalledFile "${DIR}"
  ${If} $1 == ""
    Delete "${DIR}\${UNINSTALLER}"
    ClearErrors
    RMDir "${DIR}"
    ${If} ${Errors}
      DetailPrint "$(FolderKept) ${DIR}"
    ${EndIf}
  ${EndIf}
!macroend
