// A deliberately wrong engine header: the layer check must reject it.
#pragma once

#include <string>
#include <windows.h>
#include <unistd.h>
#include "framework/core/classes.h"
#include "engine/errors.h"
