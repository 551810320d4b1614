#pragma once
// The per-file driver: one job from opening the PDF to the finished output.

#include "driver/ConvertJob.h"

class CConverter;

// Converts `job` with the converter's document interface and writers, sending two progress
// notifications per page. Returns CONVERT_DONE, CONVERT_FAILED (reason in
// converter.m_strMessage) or CONVERT_CANCELLED. Worker thread only; never concurrent.
int ConvertFile(const CConvertJob& job, CConverter& converter);
