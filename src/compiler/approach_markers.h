#pragma once
// The approach-marker pass: after the compile, markers (kind 12, value 180)
// are laid around the speed restrictions: ahead of the signals before a
// warning board, at three distances before a restriction's start, every 8
// cells inside a slow restriction and before the first signal after its end.

#include "model/run_state.h"

void approach_marker_pass(run_state& st);
