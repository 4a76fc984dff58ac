#pragma once
// What a hand button tells its delegate: the pointer came in or went out.

class HandButtonDelegate {
  public:
    virtual ~HandButtonDelegate() = default;
    /// `inside` is true when the pointer entered the button, false when it left.
    virtual void mouseInHandButton(bool inside) = 0;
};
