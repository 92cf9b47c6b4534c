#pragma once
// What a second start says to the running instance over the instance
// socket, and the reading of it: come forward ("raise"), or take these
// files ("open N" and N paths, each ended by a NUL, which no path holds).
// The running instance answers "ok" once it has the request.
#include <QByteArray>
#include <QStringList>

namespace instancerequest {

inline constexpr char kAnswer[] = "ok\n";
// Far beyond any multi-select; a peer that sends more is not one of ours.
inline constexpr qsizetype kMaxBytes = 16 * 1024 * 1024;

// No files: the raise alone.
QByteArray Encode(const QStringList& files);

struct Request {
    enum class State {
        Incomplete,  // more bytes to come
        Raise,
        Open,        // files holds the paths
        Bad,         // not a request of ours: the connection is dropped
    };
    State state = State::Incomplete;
    QStringList files;
};
// Reads the bytes received so far.
Request Decode(const QByteArray& bytes);

}  // namespace instancerequest
