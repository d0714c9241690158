# Environment for headless runs: no display, no sound card, no blocking boxes.
export SDL_VIDEODRIVER="${SDL_VIDEODRIVER:-offscreen}"
export ALSOFT_DRIVERS="${ALSOFT_DRIVERS:-null}"
export QV_NO_MESSAGE_BOX=1
export LIBGL_ALWAYS_SOFTWARE=1
export GALLIUM_DRIVER="${GALLIUM_DRIVER:-llvmpipe}"
QV_ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
export ASAN_OPTIONS="${ASAN_OPTIONS:-detect_leaks=1:abort_on_error=0:strict_string_checks=1}"
# Thread-local storage is not scanned: the leak checker misreads the dynamic
# TLS blocks the GL driver's libraries create and crashes at exit. Our code
# keeps nothing only in thread-locals, so this can only report more.
export LSAN_OPTIONS="${LSAN_OPTIONS:-suppressions=$QV_ROOT/scripts/lsan.supp:print_suppressions=0:use_tls=0}"
export TSAN_OPTIONS="${TSAN_OPTIONS:-halt_on_error=1:second_deadlock_stack=1:suppressions=$QV_ROOT/scripts/tsan.supp}"
export UBSAN_OPTIONS="${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}"
