#include "recording_shell.h"
