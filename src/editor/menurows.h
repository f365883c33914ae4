#pragma once

#include "commandtable.h"

#include <span>

/// Every menu, row and separator of the main window's menu bar, in order.
std::span<const CommandRow> menuBarRows();
