; The Windows installer of Morvek Attachment Extractor, in Japanese, for the current user
; without administrator rights. Built by tools/release.sh, which passes:
;   VERSION          1.0.0 (the CMake project version)
;   DISPLAY_VERSION  1.0   (as the program's windows show it)
;   STAGE            the folder holding what is installed (the same files as the zip)
;   SOURCE_ROOT      the repository, for the icon
;   OUTFILE          the installer to write
;
; Command line of the installer: /S (silent), /D=<folder> (last, unquoted: install folder).
; Command line of the uninstaller: /S (silent), /REMOVEDATA (also remove the user's stored
; attachments and settings; without it they stay, as when the box is left unticked).
; Exit codes besides NSIS's own (0 done, 1 cancelled, 2 aborted): 3 a running program did not
; end when asked to (silent runs do not wait for the user), 4 another setup was running.

Unicode true
Target amd64-unicode
SetCompressor /SOLID lzma
ManifestDPIAware true
RequestExecutionLevel user

!include MUI2.nsh
!include LogicLib.nsh
!include Sections.nsh
!include FileFunc.nsh
!include WinMessages.nsh

!define PRODUCT_NAME "モルベク 添付ファイル エクストラクタ"
!define PRODUCT_NAME_LATIN "Morveｋ Attachment Extractor"
!define PUBLISHER "Tevo Software Development"
!define WEB_PAGE "https://www.tevo-soft.example/morvek/"
; The name of the installed-programs entry and of the start-at-sign-in value.
!define ENTRY_NAME "Morvek"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\${ENTRY_NAME}"
!define RUN_KEY "Software\Microsoft\Windows\CurrentVersion\Run"
; Where the program keeps the user's settings and data (the uninstaller leaves them unless
; asked to remove them).
!define COMPANY_KEY "Software\Tevo Software Development"
!define SETTINGS_KEY "${COMPANY_KEY}\Morveｋ Attachment Extractor"
!define DATA_PARENT "$APPDATA\TevoSoftwareDev"
!define DATA_FOLDER "${DATA_PARENT}\morvek"
!define TEMP_FOLDER "$TEMP\morvek"
; How a running program is recognised and asked to end: its single-instance mutex, its
; (hidden) main window and that window's exit command.
!define PROGRAM_MUTEX "VELMARON1_MUTEX"
!define FRAME_TITLE "Morvek Attachment Extractor"
!define ID_APP_EXIT 57665
!define SHORTCUT "$SMPROGRAMS\${PRODUCT_NAME}.lnk"

Name "${PRODUCT_NAME}"
OutFile "${OUTFILE}"
InstallDir "$LOCALAPPDATA\Programs\Morvek"
InstallDirRegKey HKCU "${UNINSTALL_KEY}" "InstallLocation"
BrandingText "${PRODUCT_NAME} ${DISPLAY_VERSION}"
ShowInstDetails show
ShowUninstDetails show

VIProductVersion "${VERSION}.0"
VIFileVersion "${VERSION}.0"
VIAddVersionKey /LANG=1041 "ProductName" "${PRODUCT_NAME_LATIN}"
VIAddVersionKey /LANG=1041 "CompanyName" "${PUBLISHER}"
VIAddVersionKey /LANG=1041 "FileDescription" "${PRODUCT_NAME} セットアップ"
VIAddVersionKey /LANG=1041 "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=1041 "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=1041 "LegalCopyright" "Copyright (C) ${PUBLISHER}"

!define MUI_ICON "${SOURCE_ROOT}/res/art/morvek.ico"
!define MUI_UNICON "${SOURCE_ROOT}/res/art/morvek.ico"
!define MUI_ABORTWARNING
!define MUI_COMPONENTSPAGE_NODESC

!insertmacro MUI_PAGE_WELCOME
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_COMPONENTS
!insertmacro MUI_PAGE_INSTFILES
!define MUI_FINISHPAGE_RUN "$INSTDIR\morvek.exe"
!define MUI_FINISHPAGE_RUN_TEXT "モルベクを起動する"
!define MUI_FINISHPAGE_SHOWREADME "$INSTDIR\readme.txt"
!define MUI_FINISHPAGE_SHOWREADME_TEXT "readme.txt を表示する"
!define MUI_FINISHPAGE_SHOWREADME_NOTCHECKED
!insertmacro MUI_PAGE_FINISH

!insertmacro MUI_UNPAGE_CONFIRM
!define MUI_COMPONENTSPAGE_TEXT_TOP "保管した添付ファイルと設定は、通常は削除せずに残します（再びインストールすると、そのまま使えます）。"
!insertmacro MUI_UNPAGE_COMPONENTS
!insertmacro MUI_UNPAGE_INSTFILES

!insertmacro MUI_LANGUAGE "Japanese"

; ---- A running program ---------------------------------------------------------------------
; Its files cannot be replaced or removed while it runs, and it must not keep running with
; its files gone: it is asked to end through its exit command (it saves and closes as when
; the user exits), then waited for until its mutex is gone. If it does not end within ten
; seconds the user may retry or cancel; a silent run ends with exit code 3.
!macro CLOSE_RUNNING_PROGRAM UN
Function ${UN}IsProgramRunning
    ; SYNCHRONIZE access is enough to see whether the mutex exists.
    System::Call 'kernel32::OpenMutexW(i 0x00100000, i 0, w "${PROGRAM_MUTEX}") p .r0'
    ${If} $0 P<> 0
        System::Call 'kernel32::CloseHandle(p r0)'
        StrCpy $0 1
    ${Else}
        StrCpy $0 0
    ${EndIf}
FunctionEnd

Function ${UN}CloseRunningProgram
    Push $0
    Push $1
    Push $2
    ${Do}
        Call ${UN}IsProgramRunning
        ${IfThen} $0 = 0 ${|} ${ExitDo} ${|}
        DetailPrint "実行中のモルベクを終了しています..."
        StrCpy $1 0
        ${Do}
            ; Once a second, in case the window did not exist yet (splash window).
            IntOp $2 $1 % 4
            ${If} $2 = 0
                FindWindow $2 "" "${FRAME_TITLE}"
                ${If} $2 P<> 0
                    System::Call 'user32::PostMessageW(p r2, i ${WM_COMMAND}, p ${ID_APP_EXIT}, p 0)'
                ${EndIf}
            ${EndIf}
            Sleep 250
            IntOp $1 $1 + 1
            Call ${UN}IsProgramRunning
            ${If} $0 = 0
            ${OrIf} $1 >= 40
                ${ExitDo}
            ${EndIf}
        ${Loop}
        ${IfThen} $0 = 0 ${|} ${ExitDo} ${|}
        ${If} ${Silent}
            SetErrorLevel 3
            Quit
        ${EndIf}
        ${If} ${Cmd} `MessageBox MB_RETRYCANCEL|MB_ICONEXCLAMATION "モルベクが終了しません。$\r$\n開いているダイアログを閉じ、モルベクを終了してから［再試行］を押してください。" IDCANCEL`
            Quit
        ${EndIf}
    ${Loop}
    Pop $2
    Pop $1
    Pop $0
FunctionEnd
!macroend
!insertmacro CLOSE_RUNNING_PROGRAM ""
!insertmacro CLOSE_RUNNING_PROGRAM "un."

; ---- Install -------------------------------------------------------------------------------
Section "-プログラム" SecProgram
    Call CloseRunningProgram
    SetOutPath "$INSTDIR"
    ; Folders are replaced whole, so nothing of an older version stays behind in them.
    RMDir /r "$INSTDIR\help"
    RMDir /r "$INSTDIR\licenses"
    File "${STAGE}/morvek.exe"
    File "${STAGE}/morvek-cli.exe"
    File "${STAGE}/readme.txt"
    File /r "${STAGE}/help"
    File /r "${STAGE}/licenses"
    WriteUninstaller "$INSTDIR\uninstall.exe"

    CreateShortcut "${SHORTCUT}" "$INSTDIR\morvek.exe" "" "$INSTDIR\morvek.exe" 0 \
        SW_SHOWNORMAL "" "メールの添付ファイルを取り出して保管します"

    WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT_NAME}"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "Publisher" "${PUBLISHER}"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\morvek.exe,0"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
    WriteRegStr HKCU "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
    WriteRegStr HKCU "${UNINSTALL_KEY}" "URLInfoAbout" "${WEB_PAGE}"
    WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoModify" 1
    WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoRepair" 1
    ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
    WriteRegDWORD HKCU "${UNINSTALL_KEY}" "EstimatedSize" $0
SectionEnd

Section "サインイン時にモルベクを起動する" SecAutoStart
    WriteRegStr HKCU "${RUN_KEY}" "${ENTRY_NAME}" '"$INSTDIR\morvek.exe"'
SectionEnd

Section "-サインイン時の起動の解除"
    ${IfNot} ${SectionIsSelected} ${SecAutoStart}
        DeleteRegValue HKCU "${RUN_KEY}" "${ENTRY_NAME}"
    ${EndIf}
SectionEnd

Function .onInit
    ; One installer (or uninstaller) at a time.
    System::Call 'kernel32::CreateMutexW(p 0, i 0, w "MorvekSetup") p .r1 ?e'
    Pop $0
    ${If} $0 = 183
        ${IfNot} ${Silent}
            MessageBox MB_OK|MB_ICONEXCLAMATION "モルベクのセットアップはすでに実行中です。"
        ${EndIf}
        SetErrorLevel 4
        Quit
    ${EndIf}
    ; Over an earlier installation the user's choice about starting at sign-in stays.
    ReadRegStr $0 HKCU "${UNINSTALL_KEY}" "InstallLocation"
    ${If} $0 != ""
        ReadRegStr $1 HKCU "${RUN_KEY}" "${ENTRY_NAME}"
        ${If} $1 == ""
            !insertmacro UnselectSection ${SecAutoStart}
        ${EndIf}
    ${EndIf}
FunctionEnd

; ---- Uninstall -----------------------------------------------------------------------------
Section "-un.プログラム"
    Call un.CloseRunningProgram
    Delete "${SHORTCUT}"
    DeleteRegValue HKCU "${RUN_KEY}" "${ENTRY_NAME}"
    ; Only what the installer put there: the folder may have been chosen by the user.
    Delete "$INSTDIR\morvek.exe"
    Delete "$INSTDIR\morvek-cli.exe"
    Delete "$INSTDIR\readme.txt"
    RMDir /r "$INSTDIR\help"
    RMDir /r "$INSTDIR\licenses"
    Delete "$INSTDIR\uninstall.exe"
    RMDir "$INSTDIR"
    ; The program's temporary folder holds nothing of the user's.
    RMDir /r "${TEMP_FOLDER}"
    DeleteRegKey HKCU "${UNINSTALL_KEY}"
SectionEnd

Section /o "un.保管した添付ファイルと設定も削除する" SecRemoveData
    RMDir /r "${DATA_FOLDER}"
    RMDir "${DATA_PARENT}"
    DeleteRegKey HKCU "${SETTINGS_KEY}"
    DeleteRegKey /ifempty HKCU "${COMPANY_KEY}"
SectionEnd

Function un.onInit
    System::Call 'kernel32::CreateMutexW(p 0, i 0, w "MorvekSetup") p .r1 ?e'
    Pop $0
    ${If} $0 = 183
        ${IfNot} ${Silent}
            MessageBox MB_OK|MB_ICONEXCLAMATION "モルベクのセットアップはすでに実行中です。"
        ${EndIf}
        SetErrorLevel 4
        Quit
    ${EndIf}
    ${GetParameters} $0
    ClearErrors
    ${GetOptions} $0 "/REMOVEDATA" $1
    ${IfNot} ${Errors}
        !insertmacro SelectSection ${SecRemoveData}
    ${EndIf}
FunctionEnd
