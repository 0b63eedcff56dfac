# Sourced by the scripts that run Windows programs: picks the Windows build this
# machine can run, and starts and stops Xvfb and a Wine server for it.
#
# After `wine_session_start`: WINDOWS_BUILD (build/win32 or build/win64), WINE (the
# loader to use), WINEPREFIX, DISPLAY and HOME (with an ALSA file sink) are set.
#
# QUILLET_WINDOWS_ARCH=win64 (or win32) forces one build, so that the path another
# kind of machine takes can be tried on this one.

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build_root=${BUILD:-$root/build}

# 32-bit Wine needs a kernel that runs 32-bit processes; some machines have that
# switched off, and there the 64-bit build of the same sources is run instead.
windows_arch() {
    case "${QUILLET_WINDOWS_ARCH:-}" in
        win32|win64) echo "$QUILLET_WINDOWS_ARCH"; return ;;
        "") ;;
        *) echo "QUILLET_WINDOWS_ARCH must be win32 or win64" >&2; exit 2 ;;
    esac
    if [ -x /usr/lib/wine/wine ] && /usr/lib/wine/wine --version >/dev/null 2>&1; then
        echo win32
    else
        echo win64
    fi
}

# Debian's Wine comes without its preloader, so Wine maps its fixed regions (the
# shared user data, the GDI handle table) after the host's libraries have been
# placed, and address randomisation now and then puts one of them in the way: a
# 64-bit program then fails to start ("failed to map the shared user data") or
# faults on its first GDI call. The calling script runs again, and with it every
# Wine process it starts, with the layout fixed: `wine_fixed_layout "$0" "$@"`.
wine_fixed_layout() {
    if [ -z "${QUILLET_FIXED_LAYOUT:-}" ] && setarch "$(uname -m)" -R true 2>/dev/null; then
        export QUILLET_FIXED_LAYOUT=1
        exec setarch "$(uname -m)" -R bash "$@"
    fi
}

wine_session_start() {
    local arch
    arch=$(windows_arch)
    WINDOWS_BUILD=$build_root/$arch
    if [ "$arch" = win32 ]; then
        WINE=/usr/lib/wine/wine
    else
        WINE=/usr/lib/wine/wine64
    fi
    export WINELOADER=$WINE WINE
    export WINEPREFIX=$build_root/wineprefix-$arch
    # Quiet unless the caller asks for Wine's traces (WINEDEBUG=trace+thread ...).
    export WINEDEBUG=${WINEDEBUG:--all}
    export WINEDLLOVERRIDES="mscoree=;mshtml="

    # A HOME whose ALSA default device is a file, so that DirectSound opens and
    # what it plays can be checked; on the user's own display (WINE_USE_DISPLAY)
    # the machine's own sound device plays instead, when it has one. The sink
    # starts its file afresh each time a program opens the device.
    if [ -n "${WINE_USE_DISPLAY:-}" ] && [ -n "${DISPLAY:-}" ] && [ -e /dev/snd ]; then
        export WINE_SOUND_CAPTURE=
    else
        export WINE_SOUND_CAPTURE=$build_root/winehome/captured.raw
        mkdir -p "$build_root/winehome"
        cat > "$build_root/winehome/.asoundrc" <<ASOUND
pcm.!default { type file  slave.pcm "null"  file "$WINE_SOUND_CAPTURE"  format "raw" }
ctl.!default { type hw card 0 }
ASOUND
        export HOME=$build_root/winehome
    fi

    if [ -z "${WINE_USE_DISPLAY:-}" ] || [ -z "${DISPLAY:-}" ]; then
        local n=90
        while [ -e /tmp/.X11-unix/X$n ] || [ -e /tmp/.X$n-lock ]; do n=$((n + 1)); done
        Xvfb :$n -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
        XVFB_PID=$!
        export DISPLAY=:$n
        local i
        for i in $(seq 1 100); do
            [ -e /tmp/.X11-unix/X$n ] && break
            sleep 0.1
        done
    fi

    # Wine's service processes inherit the first command's output; keep it off any
    # pipe so that readers of later output see its end.
    "$WINE" cmd /c exit >/dev/null 2>&1 </dev/null || true
    wineserver -p >/dev/null 2>&1 </dev/null || true

    # Xvfb has no window manager: Wine would wait two seconds for one at every
    # window it hides. In Xvfb its windows are left unmanaged.
    local managed=Y
    [ -n "${XVFB_PID:-}" ] && managed=N
    "$WINE" reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d $managed /f >/dev/null 2>&1 || true

    # The faces movies name, drawn from the metric-compatible files a native
    # text library draws them from, so that stills of both builds show the same
    # glyphs.
    local face
    for face in "Arial=Liberation Sans" "Times New Roman=Liberation Serif" "Courier New=Liberation Mono"; do
        "$WINE" reg add 'HKCU\Software\Wine\Fonts\Replacements' /v "${face%%=*}" /d "${face#*=}" /f \
            >/dev/null 2>&1 || true
    done

    # A program that crashes ends at once with an error code: Wine's own debugger,
    # started on a crash, waits forever when the output goes to a pipe.
    "$WINE" reg add 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\AeDebug' /v Debugger \
        /d 'cmd /c exit %ld %ld' /f >/dev/null 2>&1 || true
}

wine_session_stop() {
    # Killed, then waited for: a session started right after must not meet this
    # one's server or processes still ending.
    wineserver -k >/dev/null 2>&1 || true
    timeout 20 wineserver -w >/dev/null 2>&1 || true
    if [ -n "${XVFB_PID:-}" ]; then
        kill "$XVFB_PID" 2>/dev/null || true
        wait "$XVFB_PID" 2>/dev/null || true
    fi
}
