#include "shell_services.h"

ShellServices::~ShellServices() = default;
