// The result of one conversion: computed from the numbers entered into
// Conversion and written as the text that follows the label
// "The angle value: ". The dialogue and the batch mode both write it here,
// so that the two cannot differ by a byte.
//   rad to d, angleValue 1   -> "57.2958d= 57degrees 17minutes 45second "
//   g to rad, angleValue 100 -> "1.57080rad"
//   rad to x (no case)       -> "" (nothing written)
#pragma once

#include <string_view>

#include "streams/text_stream.h"

// The three unit words; a typed word matches one only byte for byte.
inline constexpr std::string_view RadiansWord = "rad";
inline constexpr std::string_view GradsWord = "g";
inline constexpr std::string_view DegreesWord = "d";

// The result cases, one a pair of unit words; NoResult for any pair that
// none of them matches.
enum class ResultCase {
  RadiansToRadians,
  GradsToGrads,
  RadiansToGrads,
  RadiansToDegrees,
  GradsToRadians,
  GradsToDegrees,
  DegreesToRadians,
  DegreesToGrads,
  DegreesToDegrees,
  NoResult,
};

// The case of a source and a target word as typed:
//   ("rad", "d") -> RadiansToDegrees     ("d", "rad ") -> NoResult
ResultCase SelectResultCase(std::string_view source, std::string_view target);

// Whether the source of `conversion` is entered as three numbers (degrees,
// minutes, seconds) rather than one.
bool HasDegreesSource(ResultCase conversion);

// Computes the result of `conversion` from the numbers entered (angleValue,
// or degreesEntered, minutesEntered and secondsEntered) and writes it to
// `stream` in one statement, or two for rad and g to d (the decimal degrees,
// then the split), each closed by FlushAfterStatement and CheckIoResult. A
// floating-point fault ends it where it arises; what earlier statements
// wrote stays written.
void WriteResult(TextStream& stream, ResultCase conversion);
