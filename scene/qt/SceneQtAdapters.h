#pragma once

// Qt adapters of the scene layer: picture decoding and font rendering. Each
// adapter has its own header here; the program installs them at start.
