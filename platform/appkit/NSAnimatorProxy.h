#pragma once
// The animator of a container: setting a property through it animates the change instead of
// making it at once (window->animator()->setAlphaValue(0) fades the window out).

#include <string>

class NSAnimatablePropertyContainer;

class NSAnimatorProxy {
  public:
    explicit NSAnimatorProxy(NSAnimatablePropertyContainer& owner) : owner_(owner) {}

    /// Animates the owner's "alphaValue" to `alpha`.
    void setAlphaValue(double alpha) { setValue("alphaValue", alpha); }
    /// Animates the owner's property `key` from its current value to `value`.
    void setValue(const std::string& key, double value);

  private:
    NSAnimatablePropertyContainer& owner_;
};
