/* Test-only preload library: pins the calendar clock the simulator seeds from.
   QUORVEX_TEST_TIME holds the seconds to report; without it the real clock
   answers. Only the end-to-end tests load this library. */
#define _GNU_SOURCE
#include <dlfcn.h>
#include <stdlib.h>
#include <time.h>

time_t time(time_t* out) {
    const char* pinned = getenv("QUORVEX_TEST_TIME");
    time_t now;
    if (pinned != NULL) {
        now = (time_t)strtoll(pinned, NULL, 10);
    } else {
        time_t (*real_time)(time_t*) = (time_t(*)(time_t*))dlsym(RTLD_NEXT, "time");
        now = real_time != NULL ? real_time(NULL) : (time_t)-1;
    }
    if (out != NULL)
        *out = now;
    return now;
}
