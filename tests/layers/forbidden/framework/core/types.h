// A deliberately wrong core header: the layer check must reject it.
#pragma once

#include <cstdint>
#  include <Windows.h>
#include "framework/win32/forms.h"
