; Ending the running Glimwick the way any other process may: the Exit command
; to the window with the marker title. Shared by the setup program and the
; uninstaller, so written as macros (functions would need an "un." twin).
!ifndef GLIMWICK_INSTANCE_NSH
!define GLIMWICK_INSTANCE_NSH

!include LogicLib.nsh
!include WinMessages.nsh

; The marker title and the controller's Exit command (IDOK), as the program
; and glimctl have them.
!define PROTOCOL_HEADER "${__FILEDIR__}/../res/Protocol.h"
!searchparse /file "${PROTOCOL_HEADER}" '#define GLIMWICK_MARKER_TITLE "' MARKER_TITLE '"'
!searchparse /file "${PROTOCOL_HEADER}" '#define GLIMWICK_COMMAND_EXIT ' EXIT_COMMAND
; Polling step while waiting for the program to go.
!define WAIT_STEP_MS 250
; An icon search holds the program for up to 20 s before it reads its
; messages again, so give it twice that.
!define WAIT_WINDOW_STEPS 160
; After its window has gone the process still needs a moment to exit and
; release Glimwick.exe.
!define WAIT_FILE_STEPS 40

; Clears the error flag and waits until no window has the marker title; sets
; the error flag when one is still there after the wait.
!macro WaitUntilNoInstance
  Push $0
  Push $1
  StrCpy $1 0
  ClearErrors
  ${Do}
    FindWindow $0 "" "${MARKER_TITLE}"
    ${If} $0 = 0
      ${Break}
    ${EndIf}
    ${If} $1 >= ${WAIT_WINDOW_STEPS}
      SetErrors
      ${Break}
    ${EndIf}
    Sleep ${WAIT_STEP_MS}
    IntOp $1 $1 + 1
  ${Loop}
  Pop $1
  Pop $0
!macroend

; Waits until the program file can be opened for writing, that is, no
; process runs from it any more. Sets the error flag when it stays in use.
!macro WaitUntilFileFree FILE
  Push $0
  Push $1
  StrCpy $1 0
  ClearErrors
  ${If} ${FileExists} "${FILE}"
    ${Do}
      ClearErrors
      ; Mode "a" opens the existing file for writing without truncating it.
      FileOpen $0 "${FILE}" a
      ${IfNot} ${Errors}
        FileClose $0
        ${Break}
      ${EndIf}
      ${If} $1 >= ${WAIT_FILE_STEPS}
        ${Break}
      ${EndIf}
      Sleep ${WAIT_STEP_MS}
      IntOp $1 $1 + 1
    ${Loop}
  ${EndIf}
  Pop $1
  Pop $0
!macroend

; Asks a running instance to exit and waits until it and FILE (the program
; it may run from) are gone. Sets the error flag when it stays.
!macro EndRunningInstance FILE
  Push $0
  FindWindow $0 "" "${MARKER_TITLE}"
  ${If} $0 <> 0
    DetailPrint "$(EndingInstance)"
    ; Posted, so it waits in the program's queue while an icon search holds
    ; the program (a sent message that times out may be dropped); the loop
    ; below waits for it to be read.
    System::Call 'user32::PostMessage(p r0, i ${WM_COMMAND}, p ${EXIT_COMMAND}, p 0)'
  ${EndIf}
  Pop $0
  !insertmacro WaitUntilNoInstance
  ${IfNot} ${Errors}
    !insertmacro WaitUntilFileFree "${FILE}"
  ${EndIf}
!macroend

!endif
