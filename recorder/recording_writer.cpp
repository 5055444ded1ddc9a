#include "recording_writer.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>

#include "file_reasons.h"

namespace zt40 {

RecordingWriter::~RecordingWriter() { close(); }

std::optional<std::string> RecordingWriter::open(const std::filesystem::path& file) {
    if (isOpen()) return "es wird schon aufgezeichnet";
    fd_ = ::open(file.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_APPEND | O_CLOEXEC, 0666);
    if (fd_ < 0) return writeFailureReason(errno);
    stopRequested_ = false;
    thread_ = std::thread(&RecordingWriter::threadMain, this);
    return std::nullopt;
}

void RecordingWriter::handOver(std::string& text) {
    if (text.empty() || !isOpen()) return;
    {
        std::lock_guard guard(lock_);
        if (failure_) {
            // The disk refused: the recording ends where it could be written.
        } else if (pending_.empty()) {
            pending_.swap(text);
        } else {
            pending_ += text;
        }
    }
    text.clear();
    wake_.notify_one();
}

std::optional<std::string> RecordingWriter::failure() {
    std::lock_guard guard(lock_);
    return failure_;
}

void RecordingWriter::close() {
    if (!isOpen()) return;
    {
        std::lock_guard guard(lock_);
        stopRequested_ = true;
    }
    wake_.notify_one();
    thread_.join();
    ::close(fd_);
    fd_ = -1;
}

void RecordingWriter::threadMain() {
    std::string writing;
    for (;;) {
        bool stop = false;
        {
            std::unique_lock guard(lock_);
            wake_.wait(guard, [this] { return stopRequested_ || !pending_.empty(); });
            writing.swap(pending_);
            stop = stopRequested_;
        }
        // Appended whole, then made durable; after a failure nothing more
        // is written, so the file ends at a hand-over.
        int error = 0;
        for (std::size_t done = 0; error == 0 && done < writing.size();) {
            const ssize_t written = ::write(fd_, writing.data() + done, writing.size() - done);
            if (written < 0 && errno == EINTR) continue;
            if (written <= 0) error = written < 0 ? errno : EIO;
            else done += static_cast<std::size_t>(written);
        }
        if (error == 0 && !writing.empty() && ::fdatasync(fd_) != 0 && errno != EINVAL) error = errno;
        writing.clear();
        if (error != 0) {
            std::lock_guard guard(lock_);
            failure_ = writeFailureReason(error);
            stop = true;
        }
        if (stop) break;
    }
}

}  // namespace zt40
