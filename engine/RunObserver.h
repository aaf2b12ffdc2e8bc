#pragma once
// What the engine tells its host while it runs.

#include <cstddef>
#include <string>
#include <string_view>

namespace quibex {

class IRunObserver {
public:
    virtual ~IRunObserver() = default;
    // Serve pending messages: called once per member after it is listed,
    // whenever the lines counted in the run reach a multiple of 221, and once
    // at the end of every member file. That is as often as a host may serve;
    // it may serve less often (the window does, by the clock). The engine absorbs failures step by
    // step, so an exception thrown here does not end the run; a host that
    // must stop at once (the window's close request) ends the process.
    virtual void Yield() = 0;
    // A member file could not be read; it keeps zero line figures and the
    // run goes on. For hosts that report it (the window does not).
    virtual void MemberUnreadable(std::string_view /*path*/, std::string_view /*reason*/) {}

    // For hosts that look further into the files than the engine does. The
    // engine reads every file once; these hand its bytes on as they are read.
    // An exception thrown by one of them is absorbed like any failed step.

    // A project file was opened and its folder made current (`path` as the
    // group or the user named it). Every line of it follows, as written and
    // without its line break (a line too long to name anything comes empty),
    // then ProjectEnd, also when reading stops early. Members listed in
    // between belong to this project.
    virtual void ProjectBegin(const std::string& /*path*/) {}
    virtual void ProjectLine(std::string_view /*line*/) {}
    virtual void ProjectEnd() {}

    // A project of a group cannot be read (`path` as the group names it);
    // `opened`: it was opened and its ProjectBegin and ProjectEnd came before
    // a read error. The window's rule ends the group's reading there, with
    // the error; a host that returns true has the rest of the group read.
    virtual bool ProjectUnreadable(const std::string& /*path*/, std::string_view /*reason*/, bool /*opened*/) {
        return false;
    }

    // The current member's file was opened; its bytes follow in order, then
    // MemberTextEnd, also after a read error. A member whose file cannot be
    // opened gets none of the three.
    virtual void MemberTextBegin(const std::string& /*path*/) {}
    virtual void MemberText(const char* /*data*/, std::size_t /*size*/) {}
    virtual void MemberTextEnd() {}
};

}  // namespace quibex
