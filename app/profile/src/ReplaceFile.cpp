#include "ReplaceFile.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

namespace talvik::profile {

namespace fs = std::filesystem;

namespace {

// A symbolic link is kept: the file it points at is the one replaced.
fs::path finalTarget(const std::string& path) {
    std::error_code error;
    fs::path target = path;
    if (fs::is_symlink(target, error)) {
        fs::path resolved = fs::canonical(target, error);
        if (!error) {
            return resolved;
        }
    }
    return target;
}

// Creates the temporary file with the usual permissions (0666 less the umask), or those
// of the file it will replace, so a save does not change who may read the profile.
bool createTemporary(const fs::path& target, std::string& tempPath, std::string& error) {
    struct stat existing {};
    bool keepMode = ::stat(target.c_str(), &existing) == 0;
    for (int attempt = 0; attempt < 100; ++attempt) {
        tempPath =
            target.string() + ".tmp" + std::to_string(::getpid()) + "_" + std::to_string(attempt);
        int fd = ::open(tempPath.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0) {
            if (keepMode) {
                ::fchmod(fd, existing.st_mode & 07777);
            }
            ::close(fd);
            return true;
        }
        if (errno != EEXIST) {
            break;
        }
    }
    error = std::strerror(errno);
    return false;
}

void syncFolder(const fs::path& target) {
    fs::path folder = target.parent_path().empty() ? fs::path(".") : target.parent_path();
    int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}

} // namespace

bool replaceFileAtomically(const std::string& path,
                           const std::function<bool(const std::string& tempPath)>& write,
                           std::string& error) {
    fs::path target = finalTarget(path);
    std::string tempPath;
    if (!createTemporary(target, tempPath, error)) {
        return false;
    }
    if (!write(tempPath)) {
        ::unlink(tempPath.c_str());
        if (error.empty()) {
            error = "the file could not be written";
        }
        return false;
    }
    if (::rename(tempPath.c_str(), target.c_str()) != 0) {
        error = std::strerror(errno);
        ::unlink(tempPath.c_str());
        return false;
    }
    syncFolder(target);
    return true;
}

} // namespace talvik::profile
