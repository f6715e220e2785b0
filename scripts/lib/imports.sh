# The import check of the Windows builds. Sourced; needs common.sh.

# DLLs that Windows always takes from the system folder (the KnownDLLs).
SYSTEM_DLLS="advapi32.dll comdlg32.dll gdi32.dll kernel32.dll msvcrt.dll ole32.dll oleaut32.dll
shell32.dll shlwapi.dll user32.dll"

# Every program and DLL that a build makes (the product, the product's
# programs, the test tools) imports statically only system DLLs, and
# comctl32.dll only with a manifest that names the side-by-side common
# controls, from which Windows then takes it. Any other DLL is loaded at run
# time from the system folder, never from the program's folder.
check_imports() {
    local preset dir file dll failed=0
    for preset in "$@"; do
        dir="$BUILD/$preset"
        while IFS= read -r -d '' file; do
            while IFS= read -r dll; do
                dll=${dll,,}
                case " $(echo $SYSTEM_DLLS) " in *" $dll "*) continue ;; esac
                if [ "$dll" = comctl32.dll ] &&
                    grep -q 'Microsoft.Windows.Common-Controls' "$file"; then
                    continue
                fi
                say "${file#"$BUILD"/}: imports $dll, which Windows may take from the program's folder"
                failed=1
            done < <(x86_64-w64-mingw32-objdump -p "$file" | sed -n 's/^\tDLL Name: //p')
        done < <(find "$dir" \( -name CMakeFiles -o -name wine-session -o -name variants \) -prune -o \
            \( -name '*.exe' -o -name '*.dll' \) -type f -print0)
    done
    [ "$failed" -eq 0 ] || die "a program imports a DLL outside the system folder"
}
