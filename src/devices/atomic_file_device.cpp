#include "atomic_file_device.h"

#include <string>

namespace kavlo {
namespace {

// Qt's writers hand over many small pieces; the file takes them in chunks.
constexpr std::size_t kChunk = 1 << 16;

// A write-only device over an AtomicFile.
class AtomicFileDevice final : public QIODevice {
  public:
    explicit AtomicFileDevice(AtomicFile& file) : file_(file) { open(QIODevice::WriteOnly); }

    bool isSequential() const override { return true; }

    // False when any byte could not be written.
    bool flushBuffer() {
        if (!buffer_.empty()) {
            failed_ = failed_ || !file_.write(buffer_);
            buffer_.clear();
        }
        return !failed_;
    }

  protected:
    qint64 readData(char* /*data*/, qint64 /*maxSize*/) override { return -1; }

    qint64 writeData(const char* data, qint64 size) override {
        buffer_.append(data, static_cast<std::size_t>(size));
        if (buffer_.size() >= kChunk && !flushBuffer()) {
            return -1;
        }
        return size;
    }

  private:
    AtomicFile& file_;
    std::string buffer_;
    bool failed_ = false;
};

}  // namespace

WriteResult writeAtomically(const std::filesystem::path& path,
                            const std::function<bool(QIODevice&)>& write) {
    AtomicFile file(path);
    if (WriteResult opened = file.open(); !opened.ok()) {
        return opened;
    }
    AtomicFileDevice device(file);
    const bool written = write(device);
    // A failed write of the file's own is reported by commit with its cause.
    if (!device.flushBuffer() || written) {
        return file.commit();
    }
    return {"ファイル " + path.string() + " を作れませんでした。ご確認ください。"};
}

}  // namespace kavlo
