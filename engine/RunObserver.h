#pragma once
// What the engine tells its host while it runs.

#include <string_view>

namespace quibex {

class IRunObserver {
public:
    virtual ~IRunObserver() = default;
    // Serve pending messages: called once per member after it is listed,
    // whenever the lines counted in the run reach a multiple of 221, and once
    // at the end of every member file. The engine absorbs failures step by
    // step, so an exception thrown here does not end the run; a host that
    // must stop at once (the window's close request) ends the process.
    virtual void Yield() = 0;
    // A member file could not be read; it keeps zero line figures and the
    // run goes on. For hosts that report it (the window does not).
    virtual void MemberUnreadable(std::string_view /*path*/, std::string_view /*reason*/) {}
};

}  // namespace quibex
