#pragma once

// The two measuring windows share the evaluation rules but differ in a few points
// (depiction, captions, overrange handling, range items, range forcing).
enum class WindowKind { Display, Chart };
