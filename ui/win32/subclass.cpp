#include "ui/win32/subclass.h"

#include <cstddef>
#include <unordered_map>
#include <vector>

namespace kalvor::win32 {
namespace {

struct Link {
    SubclassProc procedure;
    UINT_PTR id;
    DWORD_PTR data;
};

struct Chain {
    WNDPROC original = nullptr;
    std::vector<Link> links; // in the order added: the last runs first
    std::size_t below = 0;   // while a link runs: how many links lie under it
    int running = 0;         // calls into the chain not yet returned
    bool destroyed = false;  // WM_NCDESTROY has been through: let go once nothing runs
};

// The windows of the user interface thread; a node's address outlives new windows' insertions.
std::unordered_map<HWND, Chain> &Chains() {
    static std::unordered_map<HWND, Chain> chains;
    return chains;
}

LRESULT CallFrom(HWND window, Chain &chain, std::size_t level, UINT message, WPARAM wParam,
                 LPARAM lParam) {
    if (level == 0) {
        return CallWindowProcW(chain.original, window, message, wParam, lParam);
    }
    const std::size_t saved = chain.below;
    chain.below = level - 1;
    const Link link = chain.links[level - 1];
    const LRESULT result = link.procedure(window, message, wParam, lParam, link.id, link.data);
    chain.below = saved;
    return result;
}

LRESULT CALLBACK Dispatch(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto &chains = Chains();
    const auto found = chains.find(window);
    if (found == chains.end()) {
        return DefWindowProcW(window, message, wParam, lParam);
    }
    Chain &chain = found->second;
    ++chain.running;
    const LRESULT result = CallFrom(window, chain, chain.links.size(), message, wParam, lParam);
    --chain.running;
    chain.destroyed = chain.destroyed || message == WM_NCDESTROY;
    if (chain.destroyed && chain.running == 0) {
        chains.erase(window);
    }
    return result;
}

} // namespace

bool Subclass(HWND window, SubclassProc procedure, UINT_PTR id, DWORD_PTR data) {
    if (window == nullptr || procedure == nullptr) {
        return false;
    }
    auto &chains = Chains();
    if (const auto found = chains.find(window); found != chains.end()) {
        found->second.links.push_back({procedure, id, data});
        return true;
    }
    SetLastError(0);
    const auto original = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&Dispatch)));
    if (original == nullptr && GetLastError() != 0) {
        return false;
    }
    Chain &chain = chains[window];
    chain.original = original;
    chain.links.push_back({procedure, id, data});
    return true;
}

LRESULT CallNext(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto &chains = Chains();
    const auto found = chains.find(window);
    if (found == chains.end()) {
        return DefWindowProcW(window, message, wParam, lParam);
    }
    return CallFrom(window, found->second, found->second.below, message, wParam, lParam);
}

} // namespace kalvor::win32
