// The moment a program under test dies: the in-memory file system and registry count their
// changes on one clock, and once it has stopped every call of either fails.
#pragma once

#include <optional>

namespace tess::testing {

// Shared by the fakes of one run, so that a death between a file's move and a registry write is
// reached as well as one between two moves. A program that died asks nothing more: every later
// change and read of the fakes that share the clock fails, and nothing is changed.
class CrashClock {
public:
    // Dies once `changes` more changes have been made.
    void stopAfter(int changes) { stopAt_ = made_ + changes; }
    // Counts a change about to be made; false, and nothing counted, once the program has died.
    bool change() {
        if (stopped())
            return false;
        ++made_;
        return true;
    }
    bool stopped() const { return stopAt_ && made_ >= *stopAt_; }
    int changes() const { return made_; }

private:
    int made_ = 0;
    std::optional<int> stopAt_;
};

} // namespace tess::testing
