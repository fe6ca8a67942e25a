#pragma once

#include <QLockFile>
#include <QString>
#include <memory>

// Held while one program instance serves a request file, so that a second instance started on the
// same file cannot answer it too. The lock lives in a folder of the user's own, not beside the request
// (the caller's folder may be read-only and gets no files of ours) and not in the shared temporary
// folder, where anyone could plant something under its name and block that request for good.
class RequestLock {
public:
    enum class State { Held, HeldElsewhere, CannotLock };

    // folder: where the lock goes; with none (empty), no lock can be made.
    RequestLock(const QString &folder, const QString &requestPath);

    State state() const { return m_state; }
    bool isHeld() const { return m_state == State::Held; }

private:
    std::unique_ptr<QLockFile> m_lock;
    State m_state = State::CannotLock;
};
