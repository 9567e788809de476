// The commands of the qzschemas command-line client.
#pragma once

namespace qzcli {

// Prints where the stand-in keeps the machine and what COM classes it knows.
int Doctor();

}  // namespace qzcli
