; The installer of Velquor Trafimo, built by package.sh with makensis (NSIS 3):
;   makensis -DVERSION=1.3.0.0 -DEXE_PATH=.../trafimo.exe -DOUTFILE=.../setup.exe trafimo.nsi
; It installs for the current user only, without administrator rights, into
; %LOCALAPPDATA%\Programs\Velquor Trafimo, with a Start-menu shortcut, an optional per-user
; start-up entry and an entry in Apps & Features. Installed over a running copy it ends that copy
; and starts the new one afterwards; the stored settings and totals stay. /S installs silently.

!ifndef VERSION | EXE_PATH | OUTFILE
  !error "Give -DVERSION=..., -DEXE_PATH=... and -DOUTFILE=... (package.sh does)"
!endif

Unicode true
Target amd64-unicode  ; the program is a 64-bit one: the installer sees the same registry view
SetCompressor /SOLID lzma
ManifestDPIAware true

!define PRODUCT "Velquor Trafimo"
!define PUBLISHER "Velquor"
!define EXE "trafimo.exe"
!define UNINSTALLER "uninstall.exe"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\${PRODUCT}"
!define RUN_KEY "Software\Microsoft\Windows\CurrentVersion\Run"
; The program's per-user settings, where its settings dialog's "start with Windows" is kept.
!define SETTINGS_KEY "Software\Velquor Trafimo\Settings"
; The start-up entry as the program writes it itself: the quoted path without ".exe", then /s.
!define STARTUP_COMMAND '"$INSTDIR\trafimo" /s'
; What the running program holds: its single-instance mutex and its hidden tray window's class.
!define INSTANCE_MUTEX "Local\Velquor Trafimo single instance"
!define TRAY_WINDOW_CLASS "VelquorTrafimoTray"
!define SYNCHRONIZE 0x00100000

Name "${PRODUCT}"
OutFile "${OUTFILE}"
RequestExecutionLevel user
InstallDir "$LOCALAPPDATA\Programs\${PRODUCT}"
InstallDirRegKey HKCU "${UNINSTALL_KEY}" "InstallLocation"
BrandingText "${PRODUCT} ${VERSION}"

VIProductVersion "${VERSION}"
VIAddVersionKey "ProductName" "${PRODUCT}"
VIAddVersionKey "CompanyName" "${PUBLISHER}"
VIAddVersionKey "FileDescription" "${PRODUCT} Setup"
VIAddVersionKey "FileVersion" "${VERSION}"
VIAddVersionKey "ProductVersion" "${VERSION}"
VIAddVersionKey "LegalCopyright" "${PUBLISHER}"

!include "MUI2.nsh"
!include "LogicLib.nsh"
!include "FileFunc.nsh"
!include "Sections.nsh"
!include "WinMessages.nsh"

Var CopyWasRunning  ; 1 when a running copy was ended: the new one is started in its place

!define MUI_ICON "${__FILEDIR__}/../src/res/trafimo.ico"
!define MUI_UNICON "${__FILEDIR__}/../src/res/trafimo.ico"
!define MUI_ABORTWARNING
!define MUI_COMPONENTSPAGE_SMALLDESC
!define MUI_WELCOMEPAGE_TEXT "Setup will install ${PRODUCT} ${VERSION}, a network-traffic meter that lives in the notification area.$\r$\n$\r$\nIt is installed for you alone, into your own programs folder, and needs no administrator rights. A copy that is running now is ended and started again afterwards; its settings and traffic totals are kept.$\r$\n$\r$\n$_CLICK"
!insertmacro MUI_PAGE_WELCOME
!insertmacro MUI_PAGE_COMPONENTS
!insertmacro MUI_PAGE_INSTFILES
!define MUI_FINISHPAGE_RUN "$INSTDIR\${EXE}"
!define MUI_FINISHPAGE_RUN_TEXT "Run ${PRODUCT}"
!define MUI_PAGE_CUSTOMFUNCTION_SHOW FinishPageShow
!insertmacro MUI_PAGE_FINISH

!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES

!insertmacro MUI_LANGUAGE "English"

; Sets VAR to 1 when a copy of the program runs in this session, to 0 otherwise.
!macro RUNNING_COPY VAR
  System::Call 'kernel32::OpenMutexW(i ${SYNCHRONIZE}, i 0, w "${INSTANCE_MUTEX}") p.s'
  Pop ${VAR}
  ${If} ${VAR} != 0
    System::Call 'kernel32::CloseHandle(p s)' ${VAR}
    StrCpy ${VAR} 1
  ${EndIf}
!macroend

; Ends a running copy: its tray window is asked to close (as Exit does), and a copy that is still
; there after ten seconds is ended by force. Then waits until the program file may be replaced.
!macro END_RUNNING_COPY_FUNCTION PREFIX
  Function ${PREFIX}EndRunningCopy
    StrCpy $CopyWasRunning 0
    !insertmacro RUNNING_COPY $R0
    ${If} $R0 == 1
      StrCpy $CopyWasRunning 1
      DetailPrint "Ending the running ${PRODUCT}"
      FindWindow $R1 "${TRAY_WINDOW_CLASS}"
      ${If} $R1 != 0
        SendMessage $R1 ${WM_CLOSE} 0 0 /TIMEOUT=5000
      ${EndIf}
      ${For} $R2 1 40
        !insertmacro RUNNING_COPY $R0
        ${IfThen} $R0 != 1 ${|} ${ExitFor} ${|}
        Sleep 250
      ${Next}
      ${If} $R0 == 1
        nsExec::Exec '"$SYSDIR\taskkill.exe" /f /im ${EXE}'
        Pop $R1
        ${For} $R2 1 20
          !insertmacro RUNNING_COPY $R0
          ${IfThen} $R0 != 1 ${|} ${ExitFor} ${|}
          Sleep 250
        ${Next}
      ${EndIf}
    ${EndIf}
    ${If} ${FileExists} "$INSTDIR\${EXE}"
      ${For} $R2 1 20
        ClearErrors
        FileOpen $R1 "$INSTDIR\${EXE}" a
        ${IfNot} ${Errors}
          FileClose $R1
          ${ExitFor}
        ${EndIf}
        Sleep 250
      ${Next}
    ${EndIf}
  FunctionEnd
!macroend
!insertmacro END_RUNNING_COPY_FUNCTION ""
!insertmacro END_RUNNING_COPY_FUNCTION "un."

Section "${PRODUCT}" SecProgram
  SectionIn RO
  SetShellVarContext current
  Call EndRunningCopy
  SetOutPath "$INSTDIR"
  File "/oname=${EXE}" "${EXE_PATH}"
  WriteUninstaller "$INSTDIR\${UNINSTALLER}"
  CreateShortcut "$SMPROGRAMS\${PRODUCT}.lnk" "$INSTDIR\${EXE}" "" "$INSTDIR\${EXE}" 0

  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT}"
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

; The settings dialog's check box shows the choice, and keeps the entry when OK is pressed.
Section "Start ${PRODUCT} with Windows" SecStartup
  WriteRegExpandStr HKCU "${RUN_KEY}" "${PRODUCT}" '${STARTUP_COMMAND}'
  WriteRegExpandStr HKCU "${SETTINGS_KEY}" "AlwaysRunInTray" "1"
SectionEnd

Section "-Restart"
  ${IfNot} ${SectionIsSelected} ${SecStartup}
    DeleteRegValue HKCU "${RUN_KEY}" "${PRODUCT}"
    ClearErrors
    ReadRegStr $0 HKCU "${SETTINGS_KEY}" "AlwaysRunInTray"
    ${IfNot} ${Errors}
      WriteRegExpandStr HKCU "${SETTINGS_KEY}" "AlwaysRunInTray" "0"
    ${EndIf}
  ${EndIf}
  ${If} $CopyWasRunning == 1
    DetailPrint "Starting ${PRODUCT} again"
    Exec '"$INSTDIR\${EXE}" /s'
  ${EndIf}
SectionEnd

!insertmacro MUI_FUNCTION_DESCRIPTION_BEGIN
  !insertmacro MUI_DESCRIPTION_TEXT ${SecProgram} "The program, its Start-menu shortcut and its entry in Apps & Features."
  !insertmacro MUI_DESCRIPTION_TEXT ${SecStartup} "Start ${PRODUCT} in the notification area when you log on to Windows."
!insertmacro MUI_FUNCTION_DESCRIPTION_END

; An update keeps the start-up choice of the installed copy.
Function .onInit
  ClearErrors
  ReadRegStr $0 HKCU "${UNINSTALL_KEY}" "UninstallString"
  ${IfNot} ${Errors}
    ReadRegStr $0 HKCU "${RUN_KEY}" "${PRODUCT}"
    ${If} ${Errors}
      !insertmacro UnselectSection ${SecStartup}
    ${EndIf}
  ${EndIf}
FunctionEnd

; A copy that was running has been started again already: no second start from the finish page.
Function FinishPageShow
  ${If} $CopyWasRunning == 1
    SendMessage $mui.FinishPage.Run ${BM_SETCHECK} ${BST_UNCHECKED} 0
    ShowWindow $mui.FinishPage.Run ${SW_HIDE}
  ${EndIf}
FunctionEnd

Section "Uninstall"
  SetShellVarContext current
  Call un.EndRunningCopy
  Delete "$INSTDIR\${EXE}"
  Delete "$INSTDIR\${UNINSTALLER}"
  RMDir "$INSTDIR"
  Delete "$SMPROGRAMS\${PRODUCT}.lnk"
  DeleteRegKey HKCU "${UNINSTALL_KEY}"
  DeleteRegValue HKCU "${RUN_KEY}" "${PRODUCT}"
  DeleteRegValue HKLM "${RUN_KEY}" "${PRODUCT}"  ; refused without administrator rights
  ; A silent uninstall keeps the stored data, as does the answer No.
  MessageBox MB_YESNO|MB_ICONQUESTION|MB_DEFBUTTON2 \
    "Delete the stored traffic records and settings of ${PRODUCT} too?$\r$\n$\r$\nChoose No to keep them for a later installation." \
    /SD IDNO IDNO keep_data
  DeleteRegKey HKCU "Software\Trafimo"
  DeleteRegKey HKCU "Software\Velquor Trafimo"
  DeleteRegKey HKLM "Software\Velquor Trafimo"  ; refused without administrator rights
keep_data:
  ClearErrors
SectionEnd
