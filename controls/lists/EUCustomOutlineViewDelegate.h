#pragma once
// What an EUCustomOutlineView's aDelegate conforms to; the protocol declares no messages.

class EUCustomOutlineViewDelegate {
  public:
    virtual ~EUCustomOutlineViewDelegate() = default;
};
