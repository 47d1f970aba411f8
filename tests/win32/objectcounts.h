// GDI and USER objects of this process, for the tests that show nothing is
// leaked. Wine answers GetGuiResources with nothing; there the objects are
// counted by their handle slots (GDI) and as the process's windows and menus
// (USER).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace testsupport {

std::uint32_t GdiObjects();
std::uint32_t UserObjects();
// Private bytes: PrivateUsage, or where that is left 0 (Wine) the commit
// charge that PagefileUsage reports.
double PrivateMiB();

// What the GDI objects counted by handle slots are ("pens 3, brushes 4, ..."),
// to tell what a difference is made of; empty where slots are not counted.
std::string GdiObjectKinds();

// Private memory in MiB: PrivateUsage, or where that is left 0 (Wine) the
// commit charge that PagefileUsage reports.
double PrivateMiB();

// The smallest growth from the counts after one round of equal work to those
// after the next. A leak grows in every round; what the system makes on first
// use (on a busy machine in the second round too) or holds for a moment does
// not.
double SmallestGrowth(const std::vector<double>& counts);

}  // namespace testsupport
