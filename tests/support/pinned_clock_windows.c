/* Test-only: the pinned clock of the Windows build, the counterpart of the
   preload library fake_time.c. Windows has no preloading, so a twin of the
   program is linked with this object, which takes the place of the C
   library's clock: the program calls time(), which calls _time64 through the
   import slot __imp__time64, and this object defines that slot, so the
   library's own entry is never linked in. QUORVEX_TEST_TIME holds the seconds
   to report; without it the system clock answers. Only the end-to-end tests
   run the twin. */
#include <stdlib.h>
#include <windows.h>

typedef long long Seconds;

static Seconds __cdecl pinnedTime64(Seconds* out) {
    const char* pinned = getenv("QUORVEX_TEST_TIME");
    Seconds now;
    if (pinned != NULL) {
        now = strtoll(pinned, NULL, 10);
    } else {
        /* 100-nanosecond ticks since 1601-01-01 to seconds since 1970-01-01. */
        FILETIME ticks;
        GetSystemTimeAsFileTime(&ticks);
        const unsigned long long since1601 =
            ((unsigned long long)ticks.dwHighDateTime << 32) | ticks.dwLowDateTime;
        now = (Seconds)((since1601 - 116444736000000000ULL) / 10000000ULL);
    }
    if (out != NULL)
        *out = now;
    return now;
}

Seconds(__cdecl* __imp__time64)(Seconds*) = pinnedTime64;
