; VitalGauge per-user installer. Built by tools/package:
;   makensis -DVG_VERSION=x.y.z -DVG_PUBLISHER=<name> -DVG_FILES=<folder with the exes and README.txt>
;            -DVG_SRC=<source tree> -DVG_WIZARD=<164x314 bmp> -DVG_OUT=<setup.exe>
;            [-DVG_PLUGINS=<dir> -DVG_SIGN=<command> -DVG_SIGNED=<dir>]
;            installer/vitalgauge.nsi
; Installer switches: /S  /D=<folder>  /NOAUTOSTART  /LAUNCH
; Uninstaller switches: /S  /PURGE
; Exit codes: 0 done, 1 cancelled, 2 failed with nothing changed.

Unicode true
Target amd64-unicode
; Per user: no administrator prompt, everything under HKCU and the profile.
RequestExecutionLevel user
ManifestDPIAware true
SetCompressor /SOLID lzma

!ifndef VG_VERSION | VG_PUBLISHER | VG_FILES | VG_SRC | VG_WIZARD | VG_OUT
  !error "tools/package passes VG_VERSION, VG_PUBLISHER, VG_FILES, VG_SRC, VG_WIZARD and VG_OUT"
!endif

; tools/package --sign adds VG_PLUGINS (signed copies of the plug-ins),
; VG_SIGN (the command that signs a file in place) and VG_SIGNED (where the
; signed uninstaller is copied for checking).
!ifdef VG_SIGN
  !addplugindir /amd64-unicode "${VG_PLUGINS}"
  !uninstfinalize '${VG_SIGN} "%1" "${VG_SIGNED}/Uninstall.exe"' = 0
  !finalize '${VG_SIGN} "%1"' = 0
!endif

!define APP "VitalGauge"
!define EXE "VitalGauge.exe"
!define UNINSTALLER "Uninstall.exe"
!define UNINST_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\VitalGauge"
!define RUN_KEY "Software\Microsoft\Windows\CurrentVersion\Run"
; Task Manager's Startup tab marks the Run value of the same name here (first
; byte 2 enabled, 3 disabled): a mark of 3 keeps the value from running.
!define APPROVED_KEY "Software\Microsoft\Windows\CurrentVersion\Explorer\StartupApproved\Run"
!define SETTINGS_KEY "Software\VitalGauge"
!define SETUP_MUTEX "VitalGaugeSetupRunning"
!define CLOSE_WAIT_MS 10000

Name "${APP} ${VG_VERSION}"
OutFile "${VG_OUT}"
InstallDir "$LOCALAPPDATA\Programs\${APP}"
; An upgrade goes where the last install went.
InstallDirRegKey HKCU "${UNINST_KEY}" "InstallLocation"
BrandingText "${APP} ${VG_VERSION}"

VIProductVersion "${VG_VERSION}.0"
VIAddVersionKey /LANG=1033 "ProductName" "${APP}"
VIAddVersionKey /LANG=1033 "CompanyName" "${VG_PUBLISHER}"
VIAddVersionKey /LANG=1033 "FileDescription" "${APP} ${VG_VERSION} Setup"
VIAddVersionKey /LANG=1033 "FileVersion" "${VG_VERSION}.0"
VIAddVersionKey /LANG=1033 "ProductVersion" "${VG_VERSION}"
VIAddVersionKey /LANG=1033 "LegalCopyright" "${APP}"

!include MUI2.nsh
!include LogicLib.nsh
!include FileFunc.nsh
!include Sections.nsh
!include StrFunc.nsh
${StrStr}

!define MUI_ICON "${VG_SRC}\resources\app.ico"
!define MUI_UNICON "${VG_SRC}\resources\app.ico"
!define MUI_WELCOMEFINISHPAGE_BITMAP "${VG_WIZARD}"
!define MUI_ABORTWARNING
!define MUI_COMPONENTSPAGE_SMALLDESC

Var WasRunning      ; widgets were running before setup touched anything
Var Launched        ; setup has started the widgets already
Var FolderCreated   ; 1 when this install created $INSTDIR
Var Earlier         ; InstallLocation of the install found at start: "" when new

!define MUI_WELCOMEPAGE_TEXT "Setup will install ${APP} ${VG_VERSION}: three small widgets on your desktop that show processor, memory and commit load.$\r$\n$\r$\nIf the widgets are running, Setup ends them and starts them again when it is done; your layout, colours, style and scale are kept.$\r$\n$\r$\nClick Next to continue."
!insertmacro MUI_PAGE_WELCOME
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_COMPONENTS
!insertmacro MUI_PAGE_INSTFILES
!define MUI_FINISHPAGE_RUN
!define MUI_FINISHPAGE_RUN_TEXT "Start ${APP} now"
!define MUI_FINISHPAGE_RUN_FUNCTION LaunchOnFinish
!insertmacro MUI_PAGE_FINISH

!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_COMPONENTS
!insertmacro MUI_UNPAGE_INSTFILES

!insertmacro MUI_LANGUAGE "English"

; One setup or uninstall at a time: a second one would race the first over
; the same files and keys. The mutex lives as long as the process.
!macro ONE_AT_A_TIME
  System::Call 'kernel32::CreateMutexW(p 0, i 1, w "${SETUP_MUTEX}") p .r0 ?e'
  Pop $1
  ${If} $1 = 183  ; ERROR_ALREADY_EXISTS
    MessageBox MB_OK|MB_ICONEXCLAMATION "Another ${APP} setup or uninstall is already running. Let it finish, then try again." /SD IDOK
    SetErrorLevel 2
    Quit
  ${EndIf}
!macroend

; Ends every running copy through its close message and waits until each
; process is gone. Every change the widgets make is saved at once, so the
; close message (which saves nothing) loses nothing.
!macro CLOSE_WIDGETS un
Function ${un}CloseWidgets
  StrCpy $WasRunning 0
  System::Call 'user32::RegisterWindowMessageW(w "Vital_Gauge_Close") i .r5'
  ${Do}
    FindWindow $1 "VitalGaugeMessageListener" "VitalHiddenMsgListener"
    ${If} $1 == 0
      ${Break}
    ${EndIf}
    StrCpy $WasRunning 1
    DetailPrint "Ending the running ${APP} widgets..."
    System::Call 'user32::GetWindowThreadProcessId(p r1, *i .r2)'
    System::Call 'kernel32::OpenProcess(i 0x00100000, i 0, i r2) p .r3'  ; SYNCHRONIZE
    System::Call 'user32::PostMessageW(p r1, i r5, p 0, p 0)'
    StrCpy $4 0  ; WAIT_OBJECT_0
    ${If} $3 != 0
      System::Call 'kernel32::WaitForSingleObject(p r3, i ${CLOSE_WAIT_MS}) i .r4'
      System::Call 'kernel32::CloseHandle(p r3)'
    ${Else}
      ; No handle to wait on: wait for the listener window to go instead.
      StrCpy $6 0
      ${Do}
        System::Call 'user32::IsWindow(p r1) i .r7'
        ${If} $7 == 0
        ${OrIf} $6 >= ${CLOSE_WAIT_MS}
          ${Break}
        ${EndIf}
        Sleep 100
        IntOp $6 $6 + 100
      ${Loop}
      ${If} $7 != 0
        StrCpy $4 258  ; WAIT_TIMEOUT
      ${EndIf}
    ${EndIf}
    ${If} $4 != 0
      MessageBox MB_RETRYCANCEL|MB_ICONEXCLAMATION "${APP} is still running and did not end when asked to.$\r$\n$\r$\nEnd it with Exit in a widget's menu (or in Task Manager), then choose Retry. Nothing has been changed yet." /SD IDCANCEL IDRETRY retry
      SetErrorLevel 2
      Abort "${APP} is still running: nothing was changed."
      retry:
    ${EndIf}
  ${Loop}
FunctionEnd
!macroend
!insertmacro CLOSE_WIDGETS ""
!insertmacro CLOSE_WIDGETS "un."

Function LaunchOnFinish
  ${If} $Launched == 0
    Exec '"$INSTDIR\${EXE}"'
    StrCpy $Launched 1
  ${EndIf}
FunctionEnd

Section "${APP}" SecApp
  SectionIn RO

  ; Can the folder be written? Asked before anything is ended or changed.
  StrCpy $FolderCreated 0
  ${IfNot} ${FileExists} "$INSTDIR\*.*"
    StrCpy $FolderCreated 1
  ${EndIf}
  ClearErrors
  CreateDirectory "$INSTDIR"
  FileOpen $0 "$INSTDIR\vg-setup-write-test.tmp" w
  ${If} ${Errors}
    ${If} $FolderCreated == 1
      RMDir "$INSTDIR"
    ${EndIf}
    MessageBox MB_OK|MB_ICONSTOP "Setup cannot write to the folder$\r$\n$INSTDIR$\r$\n$\r$\nChoose a folder you can write to. Nothing was changed." /SD IDOK
    SetErrorLevel 2
    Abort "Cannot write to $INSTDIR: nothing was changed."
  ${EndIf}
  FileClose $0
  Delete "$INSTDIR\vg-setup-write-test.tmp"

  ; A repair or upgrade into the same folder keeps what the first install
  ; knew about who created it.
  ReadRegStr $0 HKCU "${UNINST_KEY}" "InstallLocation"
  ${If} $0 == $INSTDIR
    ReadRegDWORD $FolderCreated HKCU "${UNINST_KEY}" "InstallFolderCreated"
  ${EndIf}

  Call CloseWidgets

  SetOutPath "$INSTDIR"
  SetOverwrite on
  File "${VG_FILES}\${EXE}"
  File "${VG_FILES}\vg-close.exe"
  File "${VG_FILES}\README.txt"
  WriteUninstaller "$INSTDIR\${UNINSTALLER}"

  CreateShortcut "$SMPROGRAMS\${APP}.lnk" "$INSTDIR\${EXE}" "" "$INSTDIR\${EXE}" 0 \
    SW_SHOWNORMAL "" "Processor, memory and commit load on the desktop"

  WriteRegStr HKCU "${UNINST_KEY}" "DisplayName" "${APP}"
  WriteRegStr HKCU "${UNINST_KEY}" "DisplayVersion" "${VG_VERSION}"
  ; The winget manifest names this entry (DisplayName, Publisher,
  ; DisplayVersion, the key's name as ProductCode) from the same values.
  WriteRegStr HKCU "${UNINST_KEY}" "Publisher" "${VG_PUBLISHER}"
  WriteRegStr HKCU "${UNINST_KEY}" "DisplayIcon" '"$INSTDIR\${EXE}",0'
  WriteRegStr HKCU "${UNINST_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKCU "${UNINST_KEY}" "UninstallString" '"$INSTDIR\${UNINSTALLER}"'
  WriteRegStr HKCU "${UNINST_KEY}" "QuietUninstallString" '"$INSTDIR\${UNINSTALLER}" /S'
  WriteRegDWORD HKCU "${UNINST_KEY}" "NoModify" 1
  WriteRegDWORD HKCU "${UNINST_KEY}" "NoRepair" 1
  WriteRegDWORD HKCU "${UNINST_KEY}" "InstallFolderCreated" $FolderCreated
  ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
  IntFmt $0 "0x%08X" $0
  WriteRegDWORD HKCU "${UNINST_KEY}" "EstimatedSize" $0
SectionEnd

Section "Start ${APP} when I sign in" SecAutostart
  ; A new install's tick wins over a mark left from before; an upgrade keeps
  ; the user's choice in Task Manager.
  ${If} $Earlier == ""
    DeleteRegValue HKCU "${APPROVED_KEY}" "${APP}"
  ${EndIf}
  WriteRegStr HKCU "${RUN_KEY}" "${APP}" '"$INSTDIR\${EXE}"'
SectionEnd

Section "-Start the widgets"
  ; Left unticked this time: an earlier install's value goes, and its mark
  ; with it, which would otherwise keep a later ticked upgrade from starting.
  ${IfNot} ${SectionIsSelected} ${SecAutostart}
    DeleteRegValue HKCU "${RUN_KEY}" "${APP}"
    DeleteRegValue HKCU "${APPROVED_KEY}" "${APP}"
  ${EndIf}
  ${GetParameters} $R0
  ClearErrors
  ${GetOptions} $R0 "/LAUNCH" $R1
  ${If} $WasRunning == 1
  ${OrIfNot} ${Errors}
    Exec '"$INSTDIR\${EXE}"'
    StrCpy $Launched 1
  ${EndIf}
SectionEnd

Function .onInit
  SetShellVarContext current
  !insertmacro ONE_AT_A_TIME
  ; Given a /D= folder that cannot exist (part of it is a file), NSIS falls
  ; back to the default folder without a word: refuse instead.
  System::Call 'kernel32::GetCommandLineW() w .R0'
  ${StrStr} $R1 $R0 " /D="
  StrCpy $R1 $R1 "" 4
  ${If} $R1 != ""
  ${AndIf} $R1 != $INSTDIR
  ${AndIf} $R1 != "$INSTDIR\"
    MessageBox MB_OK|MB_ICONSTOP "Setup cannot install into$\r$\n$R1$\r$\nbecause that folder cannot be made. Nothing was changed." /SD IDOK
    SetErrorLevel 2
    Quit
  ${EndIf}
  StrCpy $Launched 0
  ReadRegStr $Earlier HKCU "${UNINST_KEY}" "InstallLocation"
  ${GetParameters} $R0
  ClearErrors
  ${GetOptions} $R0 "/NOAUTOSTART" $R1
  ${IfNot} ${Errors}
    !insertmacro UnselectSection ${SecAutostart}
  ${Else}
    ; An upgrade keeps the user's earlier choice.
    ReadRegStr $R2 HKCU "${RUN_KEY}" "${APP}"
    ${If} $Earlier != ""
    ${AndIf} $R2 == ""
      !insertmacro UnselectSection ${SecAutostart}
    ${EndIf}
  ${EndIf}
FunctionEnd

!insertmacro MUI_FUNCTION_DESCRIPTION_BEGIN
  !insertmacro MUI_DESCRIPTION_TEXT ${SecApp} "The widgets, vg-close.exe (ends them from a script), a Start-menu shortcut and an entry in Apps & features."
  !insertmacro MUI_DESCRIPTION_TEXT ${SecAutostart} "Starts the widgets each time you sign in to Windows."
!insertmacro MUI_FUNCTION_DESCRIPTION_END

; ---------------------------------------------------------------- uninstall

Var OwnsEntries  ; the Uninstall entry, shortcut and Run value point here

Section "un.${APP}" un.SecApp
  SectionIn RO
  Call un.CloseWidgets

  Delete "$INSTDIR\${EXE}"
  ${If} ${FileExists} "$INSTDIR\${EXE}"
    MessageBox MB_OK|MB_ICONSTOP "Cannot remove $INSTDIR\${EXE}. Nothing was changed." /SD IDOK
    SetErrorLevel 2
    Abort "Cannot remove $INSTDIR\${EXE}: nothing was changed."
  ${EndIf}
  Delete "$INSTDIR\vg-close.exe"
  Delete "$INSTDIR\README.txt"
  Delete "$INSTDIR\${UNINSTALLER}"

  ; The Run value goes when it starts this install; its mark goes with it,
  ; or alone when no Run value is left to own it. The mark of a Run value
  ; that starts another folder is that install's.
  ReadRegStr $0 HKCU "${RUN_KEY}" "${APP}"
  ${If} $0 == '"$INSTDIR\${EXE}"'
    DeleteRegValue HKCU "${RUN_KEY}" "${APP}"
    StrCpy $0 ""
  ${EndIf}
  ${If} $0 == ""
    DeleteRegValue HKCU "${APPROVED_KEY}" "${APP}"
  ${EndIf}
  ${If} $OwnsEntries == 1
    ReadRegDWORD $1 HKCU "${UNINST_KEY}" "InstallFolderCreated"
    Delete "$SMPROGRAMS\${APP}.lnk"
    DeleteRegKey HKCU "${UNINST_KEY}"
    ; Only a folder this install made, and only once it is empty.
    ${If} $1 == 1
      RMDir "$INSTDIR"
    ${EndIf}
  ${EndIf}
SectionEnd

Section /o "un.Also remove my settings" un.SecSettings
  DeleteRegKey HKCU "${SETTINGS_KEY}"
SectionEnd

Function un.onInit
  SetShellVarContext current
  !insertmacro ONE_AT_A_TIME
  ${GetParameters} $R0
  ClearErrors
  ${GetOptions} $R0 "/PURGE" $R1
  ${IfNot} ${Errors}
    !insertmacro SelectSection ${un.SecSettings}
  ${EndIf}
  ; A copy of the uninstaller left in another folder must not remove the
  ; entries of the installation that lives elsewhere now.
  StrCpy $OwnsEntries 0
  ReadRegStr $0 HKCU "${UNINST_KEY}" "InstallLocation"
  ${If} $0 == $INSTDIR
    StrCpy $OwnsEntries 1
  ${EndIf}
  ${IfNot} ${FileExists} "$INSTDIR\${EXE}"
  ${AndIf} $OwnsEntries == 0
    MessageBox MB_OK|MB_ICONEXCLAMATION "${APP} is not installed in$\r$\n$INSTDIR$\r$\nany more. Nothing was changed." /SD IDOK
    SetErrorLevel 2
    Quit
  ${EndIf}
FunctionEnd

!insertmacro MUI_UNFUNCTION_DESCRIPTION_BEGIN
  !insertmacro MUI_DESCRIPTION_TEXT ${un.SecApp} "Ends the widgets and removes the program, its shortcut, its sign-in entry and its Apps & features entry."
  !insertmacro MUI_DESCRIPTION_TEXT ${un.SecSettings} "Also deletes your widget places, colours, chart type and scale (HKEY_CURRENT_USER\Software\VitalGauge). Leave it unticked to keep them for a later install."
!insertmacro MUI_UNFUNCTION_DESCRIPTION_END
