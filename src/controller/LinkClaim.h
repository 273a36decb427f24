// LinkClaim: one operation's hold on the controller. The waits of an exchange keep the
// window live, so a second command could otherwise start in the middle of the first and
// purge its records. Whoever talks to the controller claims the link first; a claim that
// is not held means something else is running and the command must not start.
#pragma once

#include <utility>

namespace morvane {

class LinkClaim {
  public:
    LinkClaim() = default;
    explicit LinkClaim(int& holders) : holders_(&holders) { ++holders; }
    LinkClaim(LinkClaim&& other) noexcept : holders_(std::exchange(other.holders_, nullptr)) {}
    LinkClaim& operator=(LinkClaim&& other) noexcept {
        if (this != &other) {
            Release();
            holders_ = std::exchange(other.holders_, nullptr);
        }
        return *this;
    }
    LinkClaim(const LinkClaim&) = delete;
    LinkClaim& operator=(const LinkClaim&) = delete;
    ~LinkClaim() { Release(); }

    bool Held() const { return holders_ != nullptr; }
    explicit operator bool() const { return Held(); }

    void Release() {
        if (holders_) --*holders_;
        holders_ = nullptr;
    }

  private:
    int* holders_ = nullptr;
};

}  // namespace morvane
