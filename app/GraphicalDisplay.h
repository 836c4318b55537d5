#pragma once

class QProcessEnvironment;

// The one line the window program prints, instead of the toolkit's abort, when it has no screen.
inline constexpr char NoDisplayMessage[]
    = "Tallyvex needs a graphical display (an X11 or Wayland session) to open its window; "
      "tallyvex-scan rates messages without one.\n";

// Whether the toolkit will find a screen to open windows on: a display server named by DISPLAY or
// WAYLAND_DISPLAY, or a platform chosen with QT_QPA_PLATFORM (offscreen, vnc, ...). Asked before the
// application object exists, because creating it without a screen aborts the program.
bool hasGraphicalDisplay(const QProcessEnvironment& environment);
