# A release as a user gets it, on a real Windows: the downloads, the winget
# manifests, an install, the widgets, an uninstall that keeps only the settings.
param([Parameter(Mandatory)] [string] $Release)
$ErrorActionPreference = 'Stop'
function Fail($why) { throw "FAIL: $why" }
function Until([scriptblock] $condition, $what) {  # polls for up to 60 s
    foreach ($i in 1..600) { if (& $condition) { return }; Start-Sleep -Milliseconds 100 }
    Fail "never true: $what"
}
Add-Type -TypeDefinition @'
using System; using System.Runtime.InteropServices; using System.Text;
public static class Widgets {
    delegate bool Visit(IntPtr window, IntPtr unused);
    [DllImport("user32.dll")] static extern bool EnumChildWindows(IntPtr parent, Visit visit, IntPtr unused);
    [DllImport("user32.dll")] static extern IntPtr GetDesktopWindow();
    [DllImport("user32.dll")] static extern bool IsWindowVisible(IntPtr window);
    [DllImport("user32.dll", CharSet = CharSet.Unicode)] static extern int GetClassName(IntPtr window, StringBuilder name, int size);
    public static int Shown() {  // also inside the shell's desktop windows
        int shown = 0;
        var name = new StringBuilder(64);
        EnumChildWindows(GetDesktopWindow(), (window, unused) => {
            GetClassName(window, name, 64);
            shown += name.ToString().EndsWith("VitalGaugeClass") && IsWindowVisible(window) ? 1 : 0;
            return true;
        }, IntPtr.Zero);
        return shown;
    }
}
'@

foreach ($line in Get-Content "$Release\SHA256SUMS") {
    $sum, $name = $line -split '\s+\*?', 2
    if ((Get-FileHash "$Release\$name" -Algorithm SHA256).Hash -ne $sum) { Fail "$name is not as SHA256SUMS says" }
    if ($name -like '*-setup.exe') { $setup = "$Release\$name" }
}
$manifests = New-Item -ItemType Directory -Force "$env:TEMP\vitalgauge-winget"
Get-ChildItem $Release -Recurse -Filter *.yaml | Copy-Item -Destination $manifests  # flat in a release, in manifests\ in dist
winget validate --manifest $manifests.FullName
if ($LASTEXITCODE -notin 0, -1978335192) { Fail "winget validate: exit code $LASTEXITCODE" }  # or valid with warnings

$settings = 'HKCU:\Software\VitalGauge'
New-Item $settings -Force | Out-Null
Set-ItemProperty $settings chartTypeValue 2 -Type DWord
$keys = 'HKCU:\Software\Microsoft\Windows\CurrentVersion'
$entry = "$keys\Uninstall\VitalGauge"
$shortcut = "$env:APPDATA\Microsoft\Windows\Start Menu\Programs\VitalGauge.lnk"
$exit = (Start-Process $setup '/S' -Wait -PassThru).ExitCode
if ($exit -ne 0) { Fail "the setup ended with $exit" }
Invoke-Item $shortcut
Until { [Widgets]::Shown() -eq 3 } 'three widgets shown'
if (-not (Get-ItemProperty "$keys\Run").VitalGauge) { Fail 'no sign-in value' }

$folder = (Get-ItemProperty $entry).InstallLocation
$exit = (Start-Process "$folder\Uninstall.exe" '/S' -Wait -PassThru).ExitCode
if ($exit -ne 0) { Fail "the uninstaller ended with $exit" }
# It goes on from its copy in %TEMP%, which -Wait may not wait for.
Until { -not (Test-Path $folder) -and -not (Test-Path $entry) } 'the folder and the entry gone'
if ([Widgets]::Shown() -or (Get-Process VitalGauge -ErrorAction SilentlyContinue)) { Fail 'VitalGauge still runs' }
if ((Test-Path $shortcut) -or (Get-ItemProperty "$keys\Run").VitalGauge -or
    (Get-ItemProperty "$keys\Explorer\StartupApproved\Run" -ErrorAction SilentlyContinue).VitalGauge) {
    Fail 'the shortcut, the sign-in value or its mark is left'
}
if ((Get-ItemProperty $settings).chartTypeValue -ne 2) { Fail 'the settings were not kept' }
Write-Host 'release story passed'
