; Ending the running Glimwick the way any other process may: the Exit command
; to the window with the marker title; and the lock that makes setups take
; turns. Shared by the setup program and the uninstaller, so written as macros
; (functions would need an "un." twin). Each reports through a variable, not
; the error flag, which LogicLib's ${Errors} clears as it tests it.
!ifndef GLIMWICK_INSTANCE_NSH
!define GLIMWICK_INSTANCE_NSH

!include LogicLib.nsh
!include WinMessages.nsh

; The marker title, the setup mutex and the controller's Exit command
; (IDOK), as the program and glimctl have them.
!define PROTOCOL_HEADER "${__FILEDIR__}/../res/Protocol.h"
!searchparse /file "${PROTOCOL_HEADER}" '#define GLIMWICK_MARKER_TITLE "' MARKER_TITLE '"'
!searchparse /file "${PROTOCOL_HEADER}" '#define GLIMWICK_SETUP_MUTEX "' SETUP_MUTEX '"'
!searchparse /file "${PROTOCOL_HEADER}" '#define GLIMWICK_COMMAND_EXIT ' EXIT_COMMAND
; Polling step while waiting for the program to go.
!define WAIT_STEP_MS 250
; An icon search holds the program for up to 20 s before it reads its
; messages again, so give it twice that.
!define WAIT_WINDOW_STEPS 160
; After its window has gone the process still needs a moment to exit and
; release Glimwick.exe.
!define WAIT_FILE_STEPS 40
; Times a program that showed its window only after the first request is
; asked again.
!define END_ROUNDS 2
; Another setup may itself wait the two times above for the program.
!define SETUP_LOCK_WAIT_MS 180000
!define WAIT_OBJECT_0 0
!define WAIT_ABANDONED 0x80
; Whether a file can go: write access is refused while a process runs from
; it, delete access while another handle does not share deletion.
!define ACCESS_WRITE_DELETE 0x40010000
!define SHARE_ALL 7
!define OPEN_EXISTING 3
!define INVALID_HANDLE -1

; Waits until no window has the marker title; OUT is 1 when none is left,
; 0 when one is still there after the wait.
!macro WaitUntilNoInstance OUT
  Push $0
  Push $1
  StrCpy $1 0
  ${Do}
    FindWindow $0 "" "${MARKER_TITLE}"
    ${If} $0 = 0
      StrCpy $1 "gone"
      ${Break}
    ${EndIf}
    ${If} $1 >= ${WAIT_WINDOW_STEPS}
      ${Break}
    ${EndIf}
    Sleep ${WAIT_STEP_MS}
    IntOp $1 $1 + 1
  ${Loop}
  ${If} $1 == "gone"
    StrCpy $1 1
  ${Else}
    StrCpy $1 0
  ${EndIf}
  Exch $1
  Exch
  Pop $0
  Pop ${OUT}
!macroend

; Waits until FILE can be opened for writing, that is, no process runs from
; it any more; OUT is 1 then, or when there is no FILE, and 0 when it stays
; in use.
!macro WaitUntilFileFree FILE OUT
  Push $0
  Push $1
  StrCpy $1 0
  ${Do}
    ${IfNot} ${FileExists} "${FILE}"
      StrCpy $1 "free"
      ${Break}
    ${EndIf}
    ClearErrors
    ; Mode "a" opens the existing file for writing without truncating it.
    FileOpen $0 "${FILE}" a
    ${IfNot} ${Errors}
      FileClose $0
      StrCpy $1 "free"
      ${Break}
    ${EndIf}
    ${If} $1 >= ${WAIT_FILE_STEPS}
      ${Break}
    ${EndIf}
    Sleep ${WAIT_STEP_MS}
    IntOp $1 $1 + 1
  ${Loop}
  ${If} $1 == "free"
    StrCpy $1 1
  ${Else}
    StrCpy $1 0
  ${EndIf}
  Exch $1
  Exch
  Pop $0
  Pop ${OUT}
!macroend

; Asks a running instance to exit and waits until it and FILE (the program
; it may run from) are gone; OUT is 1 then, 0 when either stays. A program
; that is only starting (say, one another setup has just started) holds its
; file before its window shows, so the window is looked for again while the
; file stays in use.
!macro EndRunningInstance FILE OUT
  Push $0
  Push $1
  StrCpy $1 0
  ${Do}
    FindWindow $0 "" "${MARKER_TITLE}"
    ${If} $0 <> 0
      DetailPrint "$(EndingInstance)"
      ; Posted, so it waits in the program's queue while an icon search
      ; holds the program (a sent message that times out may be dropped);
      ; the wait below sees it read.
      System::Call 'user32::PostMessage(p r0, i ${WM_COMMAND}, p ${EXIT_COMMAND}, p 0)'
    ${EndIf}
    !insertmacro WaitUntilNoInstance $0
    ${If} $0 = 0
      ${Break}
    ${EndIf}
    !insertmacro WaitUntilFileFree "${FILE}" $0
    ${If} $0 = 1
    ${OrIf} $1 >= ${END_ROUNDS}
      ${Break}
    ${EndIf}
    FindWindow $0 "" "${MARKER_TITLE}"
    ${If} $0 = 0
      ${Break}
    ${EndIf}
    IntOp $1 $1 + 1
  ${Loop}
  ${If} $0 <> 1
    StrCpy $0 0
  ${EndIf}
  Pop $1
  Exch $0
  Pop ${OUT}
!macroend

; Adds FILE to the list in $1 when it exists and could not be deleted now.
; Uses $0.
!macro ListFileInUse FILE
  ${If} ${FileExists} "${FILE}"
    System::Call 'kernel32::CreateFileW(w "${FILE}", i ${ACCESS_WRITE_DELETE}, i ${SHARE_ALL}, p 0, i ${OPEN_EXISTING}, i 0, p 0) p .r0'
    ${If} $0 = ${INVALID_HANDLE}
      StrCpy $1 "$1${FILE}$\r$\n"
    ${Else}
      System::Call 'kernel32::CloseHandle(p r0)'
    ${EndIf}
  ${EndIf}
!macroend

; Waits for any other setup or uninstaller of Glimwick to finish and holds
; the lock until this thread ends (the system releases it then, also when
; the setup fails). OUT is 1 when held, 0 when the other did not finish.
!macro TakeSetupLock OUT
  Push $0
  Push $1
  System::Call 'kernel32::CreateMutexW(p 0, i 0, w "${SETUP_MUTEX}") p .r0'
  System::Call 'kernel32::WaitForSingleObject(p r0, i ${SETUP_LOCK_WAIT_MS}) i .r1'
  ${If} $1 = ${WAIT_OBJECT_0}
  ${OrIf} $1 = ${WAIT_ABANDONED}
    StrCpy $1 1
  ${Else}
    StrCpy $1 0
  ${EndIf}
  Exch $1
  Exch
  Pop $0
  Pop ${OUT}
!macroend

!endif
