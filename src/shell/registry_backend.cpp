#include "registry_backend.h"

RegistryBackend::~RegistryBackend() = default;
