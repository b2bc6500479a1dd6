#pragma once

// The test classes of this area, run one after the other by main.cpp.
int runRegistrationTests(int argc, char **argv);
int runDesktopAssociationTests(int argc, char **argv);
int runWindowTests(int argc, char **argv);
