#include "files/whole_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

namespace {

bool write_all(int fd, const std::string& text) {
    std::size_t done = 0;
    while (done < text.size()) {
        ssize_t written = ::write(fd, text.data() + done, text.size() - done);
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0)
            return false;
        done += static_cast<std::size_t>(written);
    }
    return true;
}

// The rename itself reaches the disk with its folder; a folder that cannot
// be synced still holds the renamed file.
void sync_folder_of(const std::string& path) {
    std::string::size_type slash = path.rfind('/');
    std::string folder = slash == std::string::npos ? "." : slash == 0 ? "/" : path.substr(0, slash);
    int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY);
    if (fd < 0)
        return;
    ::fsync(fd);
    ::close(fd);
}

} // namespace

bool replace_file(const std::string& path, const std::string& text, std::string& reason) {
    std::string temp = path + ".tmpXXXXXX";
    int fd = mkstemp(temp.data());
    if (fd < 0) {
        reason = std::strerror(errno);
        return false;
    }
    bool ok = true;
    // Keeps the first reason: later steps fail only because of it.
    auto fail = [&]() {
        if (ok)
            reason = std::strerror(errno);
        ok = false;
    };
    // mkstemp makes the file private; the new file gets the usual permissions.
    mode_t mask = umask(0);
    umask(mask);
    if (fchmod(fd, 0666 & ~mask) != 0 || !write_all(fd, text) || fsync(fd) != 0)
        fail();
    if (::close(fd) != 0)
        fail();
    if (ok && std::rename(temp.c_str(), path.c_str()) != 0)
        fail();
    if (!ok)
        ::unlink(temp.c_str());
    else
        sync_folder_of(path);
    return ok;
}
