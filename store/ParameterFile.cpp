#include "store/ParameterFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <algorithm>
#include <cerrno>
#include <cstring>

#ifdef Q_OS_UNIX
#include <unistd.h>
#endif

namespace ParameterFile {

namespace {

QString Shown(const QString& path) {
    return QDir::toNativeSeparators(QFileInfo(path).absoluteFilePath());
}

QString SaveError(const QString& path, const QString& reason) {
    return QString("The parameter file %1 could not be saved: %2").arg(Shown(path), reason);
}

QString LoadError(const QString& path, const QString& reason) {
    return QString("The parameter file %1 could not be read: %2").arg(Shown(path), reason);
}

// Reads a file line by line through a small fixed buffer, whatever the length
// of its lines or of the file.
class LineReader {
  public:
    explicit LineReader(QFile& file) : file_(file) {}

    enum class Result { Line, End, Error };

    // The next line's first `keep` bytes (without the CR LF) in `value`; the
    // rest of the line is read past.
    Result Next(std::size_t keep, std::string& value) {
        value.clear();
        bool any = false;
        while (true) {
            if (pos_ == size_ && !Fill(value.size() >= keep)) {
                if (error_) return Result::Error;
                if (!any) return Result::End;
                break;
            }
            any = true;
            const char* begin = buffer_ + pos_;
            const void* lf = std::memchr(begin, '\n', size_ - pos_);
            const std::size_t length = lf ? static_cast<const char*>(lf) - begin : size_ - pos_;
            if (value.size() <= keep)
                value.append(begin, std::min(length, keep + 1 - value.size()));
            pos_ += length;
            if (lf) {
                ++pos_;
                break;
            }
        }
        // One byte more than kept was taken, so a CR just before the LF is seen
        // even on a line cut at `keep`.
        if (!value.empty() && value.back() == '\r') value.pop_back();
        if (value.size() > keep) value.resize(keep);
        return Result::Line;
    }

  private:
    // Refills the buffer; false at the end of the file or on an error. While
    // only skipping, a hole of a sparse file (which reads as zeros, and holds
    // no line end) is jumped over.
    bool Fill(bool skipping) {
        pos_ = size_ = 0;
#if defined(Q_OS_LINUX) && defined(SEEK_DATA)
        if (skipping) SkipHole();
#else
        (void)skipping;
#endif
        const qint64 got = file_.read(buffer_, sizeof buffer_);
        if (got < 0) {
            error_ = true;
            return false;
        }
        size_ = static_cast<std::size_t>(got);
        return got > 0;
    }

#if defined(Q_OS_LINUX) && defined(SEEK_DATA)
    void SkipHole() {
        const int fd = file_.handle();
        if (fd < 0) return;
        const off_t here = static_cast<off_t>(file_.pos());
        const off_t data = ::lseek(fd, here, SEEK_DATA);
        if (data > here)
            file_.seek(data);
        else if (data < 0 && errno == ENXIO)
            file_.seek(file_.size());  // only a hole up to the end
    }
#endif

    QFile& file_;
    char buffer_[16 * 1024];
    std::size_t pos_ = 0, size_ = 0;
    bool error_ = false;
};

}  // namespace

QString SaveRefusal(const StoreSet& set, const QString& typedName) {
    if (set.At(0, 1).empty()) return NoDataText;
    if (typedName.isEmpty()) return NoNameText;
    return {};
}

QString FilePath(const QString& directory, const QString& typedName) {
    return QDir(directory).filePath(typedName + Extension);
}

QByteArray Content(const StoreSet& set) {
    QByteArray content;
    for (int n = 0; n < StoreSet::kValues; ++n) {
        const ValueText& value = set.InFileOrder(n);
        content.append(value.data(), static_cast<qsizetype>(value.size()));
        content.append("\r\n");
    }
    return content;
}

// Unbuffered, because a buffered QSaveFile (Qt 6.4) takes a short write at
// flush time (the disk filled up half way) for success and commits a
// truncated file. Written directly, a short write shows, and writing the rest
// brings out the system's reason.
Outcome Save(const StoreSet& set, const QString& path) {
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        return {SaveError(path, file.errorString())};
    const QByteArray content = Content(set);
    for (qint64 done = 0; done < content.size();) {
        const qint64 written = file.write(content.constData() + done, content.size() - done);
        if (written <= 0) {
            const QString reason = file.errorString();
            file.cancelWriting();
            return {SaveError(path, reason)};
        }
        done += written;
    }
    if (!file.commit()) return {SaveError(path, file.errorString())};
    return {};
}

Outcome Load(const QString& path, StoreSet& set) {
    QFile file(path);
    if (QFileInfo(path).isDir()) return {LoadError(path, "it is a directory")};
    // Unbuffered: the reader keeps its own buffer and may seek past holes.
    if (!file.open(QIODevice::ReadOnly | QIODevice::Unbuffered))
        return {LoadError(path, file.errorString())};
    LineReader reader(file);
    std::string value;
    for (int n = 0; n < StoreSet::kValues; ++n) {
        switch (reader.Next(StoreSet::kMaxValueLength, value)) {
            case LineReader::Result::Line:
                set.SetInFileOrder(n, value);
                break;
            case LineReader::Result::End:
                for (; n < StoreSet::kValues; ++n) set.SetInFileOrder(n, {});
                return {};
            case LineReader::Result::Error:
                return {LoadError(path, file.errorString())};
        }
    }
    return {};
}

}  // namespace ParameterFile
