#pragma once
// Registers the overlay scroll view and its scroller for interface files.

void registerOverlayScrollClasses();
