#include "app/shell/InstanceRequest.h"

#include <cctype>

#include <QFile>

namespace instancerequest {

namespace {
constexpr char kRaise[] = "raise\n";
constexpr char kOpen[] = "open ";
// More paths than a request of kMaxBytes could carry.
constexpr qsizetype kMaxFiles = kMaxBytes / 2;
}  // namespace

QByteArray Encode(const QStringList& files)
{
    if (files.isEmpty()) return kRaise;
    QByteArray out = kOpen + QByteArray::number(files.size()) + '\n';
    // The file system's bytes: a name that is not UTF-8 arrives as it is.
    for (const QString& f : files) out += QFile::encodeName(f) + '\0';
    return out;
}

Request Decode(const QByteArray& bytes)
{
    Request r;
    if (bytes.size() > kMaxBytes) {
        r.state = Request::State::Bad;
        return r;
    }
    const qsizetype lineEnd = bytes.indexOf('\n');
    if (lineEnd < 0) {
        if (bytes.size() > 32) r.state = Request::State::Bad;
        return r;
    }
    const QByteArray line = bytes.left(lineEnd + 1);
    if (line == kRaise) {
        r.state = bytes.size() == line.size() ? Request::State::Raise : Request::State::Bad;
        return r;
    }
    if (!line.startsWith(kOpen)) {
        r.state = Request::State::Bad;
        return r;
    }
    const QByteArray digits = line.mid(sizeof kOpen - 1, line.size() - qsizetype(sizeof kOpen));
    bool ok = false;
    const qlonglong count = digits.toLongLong(&ok);
    if (!ok || digits.isEmpty() || !std::isdigit(static_cast<unsigned char>(digits[0])) || count < 1 ||
        count > kMaxFiles) {
        r.state = Request::State::Bad;
        return r;
    }
    qsizetype at = lineEnd + 1;
    QStringList files;
    while (files.size() < count) {
        const qsizetype end = bytes.indexOf('\0', at);
        if (end < 0) return r;  // the rest is on its way
        if (end == at) {
            r.state = Request::State::Bad;  // an empty name
            return r;
        }
        files << QFile::decodeName(bytes.mid(at, end - at));
        at = end + 1;
    }
    r.state = at == bytes.size() ? Request::State::Open : Request::State::Bad;
    if (r.state == Request::State::Open) r.files = std::move(files);
    return r;
}

}  // namespace instancerequest
