#pragma once

#include <cstddef>
#include <deque>
#include <string>

namespace trivane {

// Script calls waiting for the page, joined into chunks so that thousands of calls cost a few
// round trips. Each call in a chunk is guarded: one that throws does not stop the rest. A call
// that is not a plain "name(arguments)" goes alone, so a syntax error in it cannot spoil others.
class ScriptBatch {
public:
    void Push(std::string script);
    void Clear() { calls_.clear(); }
    bool Empty() const { return calls_.empty(); }
    std::size_t Size() const { return calls_.size(); }
    // The next calls in order, at most `maxCalls` of them, as one script; empty when none wait.
    std::string TakeChunk(std::size_t maxCalls);

    // True for "identifier(args)" whose arguments hold only numbers, names, signs, commas and spaces.
    static bool IsPlainCall(const std::string& script);

private:
    std::deque<std::string> calls_;
};

}  // namespace trivane
