#pragma once

#include "platform/A.h"
