#pragma once

#include "scene/VectorGeometry.h"

#include <cmath>
#include <gtest/gtest.h>

namespace Scene::Testing {

inline ::testing::AssertionResult VectorNear(const TVector& Actual, const TVector& Expected,
                                             float Tolerance = 1e-5f)
{
    const float* A = Actual.Data();
    const float* E = Expected.Data();
    for (int I = 0; I < 4; ++I)
        if (!(std::fabs(A[I] - E[I]) <= Tolerance))
            return ::testing::AssertionFailure()
                   << "(" << A[0] << ", " << A[1] << ", " << A[2] << ", " << A[3] << ") is not (" << E[0]
                   << ", " << E[1] << ", " << E[2] << ", " << E[3] << ")";
    return ::testing::AssertionSuccess();
}

inline ::testing::AssertionResult MatrixNear(const TMatrix& Actual, const TMatrix& Expected,
                                             float Tolerance = 1e-5f)
{
    for (int Row = 0; Row < 4; ++Row)
        if (auto Result = VectorNear(Actual[Row], Expected[Row], Tolerance); !Result)
            return Result << " in row " << Row;
    return ::testing::AssertionSuccess();
}

} // namespace Scene::Testing
