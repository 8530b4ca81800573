#pragma once

#include <string>
#include <string_view>

namespace quorvex::output {

// How a whole-file write ended: `error` is one line naming the file and the
// reason ("Cannot write out.csv: No such file or directory"), empty when ok.
struct WriteResult {
    bool ok;
    std::string error;
};

// Writes `contents` as the whole of `name`, so that a reader sees either the
// old file or the new one and an interrupted or failed write loses nothing:
// - "-" is standard output, written byte for byte;
// - a name that exists and is not a regular file (a device, a FIFO, one of
//   this process's descriptors such as /dev/stdout) is written in place;
// - anything else is written to a fresh temporary file in the same folder,
//   which is then renamed over the name. A symbolic link to a regular file
//   keeps the link and replaces the file it leads to. On failure, or on an
//   interrupt, the temporary file is removed and the target left as it was.
// The new file gets the permissions of any new file (0666 less the umask).
WriteResult writeWholeFile(const std::string& name, std::string_view contents);

} // namespace quorvex::output
