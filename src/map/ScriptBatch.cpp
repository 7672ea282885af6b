#include "map/ScriptBatch.h"

#include <cctype>

namespace trivane {

namespace {

bool IsNameChar(char c) { return std::isalnum(static_cast<unsigned char>(c)) != 0 || c == '_'; }

void AppendGuarded(std::string& chunk, const std::string& call)
{
    chunk.append("try{").append(call).append("}catch(e){}\n");
}

}  // namespace

bool ScriptBatch::IsPlainCall(const std::string& script)
{
    const std::size_t open = script.find('(');
    if (open == 0 || open == std::string::npos || script.back() != ')') return false;
    if (std::isdigit(static_cast<unsigned char>(script[0])) != 0) return false;
    for (std::size_t i = 0; i < open; ++i)
        if (!IsNameChar(script[i])) return false;
    for (std::size_t i = open + 1; i + 1 < script.size(); ++i) {
        const char c = script[i];
        if (!IsNameChar(c) && c != '.' && c != ',' && c != '-' && c != '+' && c != ' ') return false;
    }
    return true;
}

void ScriptBatch::Push(std::string script)
{
    if (!script.empty()) calls_.push_back(std::move(script));
}

std::string ScriptBatch::TakeChunk(std::size_t maxCalls)
{
    std::string chunk;
    if (calls_.empty() || maxCalls == 0) return chunk;
    if (!IsPlainCall(calls_.front())) {
        AppendGuarded(chunk, calls_.front());
        calls_.pop_front();
        return chunk;
    }
    std::size_t taken = 0;
    while (taken < maxCalls && !calls_.empty() && IsPlainCall(calls_.front())) {
        AppendGuarded(chunk, calls_.front());
        calls_.pop_front();
        ++taken;
    }
    return chunk;
}

}  // namespace trivane
