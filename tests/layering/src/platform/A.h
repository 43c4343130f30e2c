#pragma once

#include "platform/B.h"
