// The chat input edit: a plain edit under its own name.
#pragma once

#include "fw/window.h"

class CSendEdit : public fw::Window {};
