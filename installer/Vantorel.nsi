; Per-user installer for Vantorel: no administrator rights, its own entry in the installed programs,
; upgrade in place over a running copy, and a removal that leaves nothing of the program behind.
;   makensis -DVERSION=1.2.3 -DSTAGE=<folder with Vantorel.exe and README.txt> -DOUTFILE=<setup.exe>
;            [-DAMD64] installer/Vantorel.nsi
; The release is the 32-bit one; -DAMD64 wraps the x86_64 program in a 64-bit installer, which is the
; one that runs where 32-bit programs cannot (the tests).

!ifndef VERSION | STAGE | OUTFILE
  !error "VERSION, STAGE and OUTFILE must be defined"
!endif

!ifdef AMD64
  Target amd64-unicode
!else
  Target x86-unicode
!endif

!include "MUI2.nsh"
!include "LogicLib.nsh"
!include "FileFunc.nsh"
!include "WinMessages.nsh"

!define APP "Vantorel"
!define EXE "Vantorel.exe"
!define UNINSTALLER "Uninstall.exe"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\${APP}"
!define RUN_KEY "Software\Microsoft\Windows\CurrentVersion\Run"
!define SETTINGS_KEY "Software\${APP}"
!define PUBLISHER "The Vantorel developers"
; The program's hidden controller window: it treats WM_CLOSE as Exit, so it saves before it ends.
!define MAIN_CLASS "VantorelMain"
; How long a running copy gets to save and end, in milliseconds.
!define CLOSE_WAIT 15000

Name "${APP} ${VERSION}"
OutFile "${OUTFILE}"
RequestExecutionLevel user
ManifestDPIAware true
SetCompressor /SOLID lzma
InstallDir "$LOCALAPPDATA\Programs\${APP}"
; An upgrade goes where the first installation went.
InstallDirRegKey HKCU "${UNINSTALL_KEY}" "InstallLocation"
ShowInstDetails show
ShowUninstDetails show
BrandingText "${APP} ${VERSION}"

VIProductVersion "${VERSION}.0"
VIAddVersionKey /LANG=1033 "ProductName" "${APP}"
VIAddVersionKey /LANG=1033 "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=1033 "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=1033 "FileDescription" "${APP} ${VERSION} Setup"
VIAddVersionKey /LANG=1033 "CompanyName" "${PUBLISHER}"
VIAddVersionKey /LANG=1033 "LegalCopyright" "${PUBLISHER}"

!define MUI_ICON "../src/resources/Vantorel.ico"
!define MUI_UNICON "../src/resources/Vantorel.ico"
!define MUI_ABORTWARNING
!define MUI_COMPONENTSPAGE_NODESC
!define MUI_WELCOMEPAGE_TEXT "Setup will install ${APP} ${VERSION} for your user account only; it needs no administrator rights.$\r$\n$\r$\nIf ${APP} is running, Setup closes it first; your settings, graph styles and usage history are kept.$\r$\n$\r$\nClick Next to continue."
!define MUI_FINISHPAGE_RUN "$INSTDIR\${EXE}"
!define MUI_FINISHPAGE_RUN_TEXT "Start ${APP} now"

!insertmacro MUI_PAGE_WELCOME
!insertmacro MUI_PAGE_COMPONENTS
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "English"

; 1 when Setup closed a running copy: a silent upgrade starts it again, as the user had it.
Var Closed

; CloseRunning: asks a running copy to end as Exit does and waits for its process to be gone, so that
; its settings and history are saved and its program file is free. Aborts when it does not end.
!macro CloseRunningBody
  StrCpy $Closed 0
  retry:
  FindWindow $0 "${MAIN_CLASS}" "${APP}"
  ${If} $0 <> 0
    DetailPrint "Closing the running ${APP}..."
    StrCpy $2 0
    StrCpy $4 0
    System::Call 'user32::GetWindowThreadProcessId(p r0, *i .r1) i'
    ${If} $1 <> 0
      ; SYNCHRONIZE: enough to wait for the process to end.
      System::Call 'kernel32::OpenProcess(i 0x00100000, i 0, i r1) p .r2'
    ${EndIf}
    SendMessage $0 ${WM_CLOSE} 0 0 /TIMEOUT=${CLOSE_WAIT}
    ${If} $2 P<> 0
      System::Call 'kernel32::WaitForSingleObject(p r2, i ${CLOSE_WAIT}) i .r4'
      System::Call 'kernel32::CloseHandle(p r2)'
    ${Else}
      ; Without a handle to wait on, wait for the window to go.
      StrCpy $3 0
      ${Do}
        Sleep 250
        IntOp $3 $3 + 250
        FindWindow $0 "${MAIN_CLASS}" "${APP}"
        ${If} $0 = 0
        ${OrIf} $3 >= ${CLOSE_WAIT}
          ${ExitDo}
        ${EndIf}
      ${Loop}
    ${EndIf}
    FindWindow $0 "${MAIN_CLASS}" "${APP}"
    ${If} $0 <> 0
    ${OrIf} $4 = 0x102 ; WAIT_TIMEOUT: the window went, but the process still holds its file
      MessageBox MB_RETRYCANCEL|MB_ICONEXCLAMATION \
        "${APP} is still running. Choose Exit in the menu of its tray icon, then click Retry." \
        /SD IDCANCEL IDRETRY retry
      DetailPrint "${APP} did not close; nothing was changed."
      SetErrorLevel 1
      Abort "${APP} is still running."
    ${EndIf}
    StrCpy $Closed 1
  ${EndIf}
!macroend

Function CloseRunning
  !insertmacro CloseRunningBody
FunctionEnd

Function un.CloseRunning
  !insertmacro CloseRunningBody
FunctionEnd

Section "-${APP}" SecProgram
  Call CloseRunning
  SetOutPath "$INSTDIR"
  SetOverwrite on
  File "${STAGE}/${EXE}"
  File "${STAGE}/README.txt"
  WriteUninstaller "$INSTDIR\${UNINSTALLER}"

  SetShellVarContext current
  CreateShortcut "$SMPROGRAMS\${APP}.lnk" "$INSTDIR\${EXE}" "" "$INSTDIR\${EXE}" 0 SW_SHOWNORMAL "" \
    "Network throughput meter"

  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayName" "${APP}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "Publisher" "${PUBLISHER}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\${EXE},0"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\${UNINSTALLER}"'
  WriteRegStr HKCU "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\${UNINSTALLER}" /S'
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoRepair" 1
  ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
  IntFmt $0 "0x%08X" $0
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "EstimatedSize" $0
SectionEnd

Section "Start ${APP} with Windows" SecStartup
SectionEnd

Section "-Startup"
  ${If} ${SectionIsSelected} ${SecStartup}
    ; Quoted, as the program itself writes it.
    WriteRegStr HKCU "${RUN_KEY}" "${APP}" '"$INSTDIR\${EXE}"'
  ${Else}
    DeleteRegValue HKCU "${RUN_KEY}" "${APP}"
    ; On its first start the program adds itself to the Run key; a copy that has never run must not
    ; undo the choice made here.
    ReadRegStr $0 HKCU "${SETTINGS_KEY}\Settings" "FirstRun"
    ${If} ${Errors}
      WriteRegStr HKCU "${SETTINGS_KEY}\Settings" "FirstRun" "0"
    ${EndIf}
  ${EndIf}
  ${If} ${Silent}
  ${AndIf} $Closed = 1
    Exec '"$INSTDIR\${EXE}"'
  ${EndIf}
SectionEnd

Function .onInit
  StrCpy $Closed 0
  ; An upgrade keeps the user's choice: the box stays ticked only if the program starts with Windows.
  ReadRegStr $0 HKCU "${UNINSTALL_KEY}" "InstallLocation"
  ${IfNot} ${Errors}
    ClearErrors
    ReadRegStr $1 HKCU "${RUN_KEY}" "${APP}"
    ${If} ${Errors}
      SectionSetFlags ${SecStartup} 0
    ${EndIf}
  ${EndIf}
FunctionEnd

Section "Uninstall"
  Call un.CloseRunning
  SetShellVarContext current

  ; Only the files Setup put here and the log the program may write beside itself: anything else the
  ; user put in the folder stays, and so does the folder then.
  Delete "$INSTDIR\${EXE}"
  Delete "$INSTDIR\README.txt"
  Delete "$INSTDIR\VantorelLog.txt"
  Delete "$INSTDIR\${UNINSTALLER}"
  RMDir "$INSTDIR"
  Delete "$SMPROGRAMS\${APP}.lnk"

  ; A Run value of another copy (one unzipped elsewhere) is that copy's.
  ReadRegStr $0 HKCU "${RUN_KEY}" "${APP}"
  ${If} $0 == '"$INSTDIR\${EXE}"'
  ${OrIf} $0 == "$INSTDIR\${EXE}"
    DeleteRegValue HKCU "${RUN_KEY}" "${APP}"
  ${EndIf}
  DeleteRegKey HKCU "${UNINSTALL_KEY}"

  MessageBox MB_YESNO|MB_ICONQUESTION|MB_DEFBUTTON2 \
    "Remove your ${APP} settings, graph styles and usage history as well?$\r$\n$\r$\nChoose No to keep them for a later installation." \
    /SD IDNO IDNO keep
  DeleteRegKey HKCU "${SETTINGS_KEY}"
  RMDir /r "$LOCALAPPDATA\${APP}\History"
  RMDir "$LOCALAPPDATA\${APP}"
  DetailPrint "Removed the settings and the usage history."
  keep:
SectionEnd
