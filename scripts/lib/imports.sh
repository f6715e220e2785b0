# The import check of the Windows builds. Sourced; needs common.sh.

# DLLs that Windows always takes from the system folder (the KnownDLLs).
SYSTEM_DLLS="advapi32.dll comdlg32.dll gdi32.dll kernel32.dll msvcrt.dll ole32.dll oleaut32.dll
shell32.dll shlwapi.dll user32.dll"

# Every program and DLL that a build makes (the product, the product's
# programs, the test tools) imports statically only system DLLs, without
# exception: Windows loads a static import before the program's first
# instruction, and looks up that DLL's own imports beside the program (the
# common controls' uxtheme.dll and msimg32.dll, for one). Any other DLL,
# comctl32.dll included, is loaded at run time from the system folder, after
# the program restricted its DLL search.
check_imports() {
    local preset dir file dll failed=0
    for preset in "$@"; do
        dir="$BUILD/$preset"
        while IFS= read -r -d '' file; do
            while IFS= read -r dll; do
                dll=${dll,,}
                case " $(echo $SYSTEM_DLLS) " in *" $dll "*) continue ;; esac
                say "${file#"$BUILD"/}: imports $dll, which Windows may take from the program's folder"
                failed=1
            done < <(x86_64-w64-mingw32-objdump -p "$file" | sed -n 's/^\tDLL Name: //p')
        done < <(find "$dir" \( -name CMakeFiles -o -name wine-session -o -name variants \) -prune -o \
            \( -name '*.exe' -o -name '*.dll' \) -type f -print0)
    done
    [ "$failed" -eq 0 ] || die "a program imports a DLL outside the system folder"
}
