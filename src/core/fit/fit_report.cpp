#include "core/fit/fit_report.h"

#include <algorithm>
#include <cstdio>
#include <ostream>
#include <string>
#include <vector>

#include "core/files/data_file.h"
#include "core/fit/fit_engine.h"
#include "core/fit/fit_uncertainty.h"
#include "core/platform/quiet_prompts.h"
#include "core/series/series.h"
#include "core/series/workspace.h"

namespace tavel {

namespace {

const char* KindName(std::int32_t kind) {
  switch (kind) {
    case kFitPower:
      return "power fit";
    case kFitExponential:
      return "exponential fit";
    case kFitNaturalLog:
      return "natural log fit";
    default:
      return "fit";
  }
}

}  // namespace

std::string Digits(double value, int digits) {
  char text[48];
  std::snprintf(text, sizeof text, "%.*g", digits, value);
  return text;
}

std::string FitEquationLine(std::int32_t kind) {
  switch (kind) {
    case 1:
      return "Y   = A + B*X";
    case 2:
      return "Y   = A + B*X + C*X^2";
    case 3:
      return "Y   = A + B*X + C*X^2 + D*X^3";
    case 4:
      return "Y   = A + B*X + C*X^2 + D*X^3 + E*X^4";
    case 5:
      return "Y   = A + B*X + C*X^2 + D*X^3 + E*X^4 + F*X^5";
    case kFitPower:
      return "Y   = A*X^B";
    case kFitExponential:
      return "Y   = A*e^(B*X)";
    case kFitNaturalLog:
      return "Y   = A + B*Ln(X)";
    default:
      return {};
  }
}

int FitCoefficientCount(std::int32_t kind) {
  if (kind >= 1 && kind <= 5) return kind + 1;
  if (kind >= kFitPower && kind <= kFitNaturalLog) return 2;
  return 0;
}

char FitCoefficientName(int index) {
  return static_cast<char>('A' + (index < 0 ? 0 : index > 5 ? 5 : index));
}

std::string FullPrecision(Real value) {
  char buffer[64];
  std::snprintf(buffer, sizeof buffer, "%.21Lg", value);
  return buffer;
}

std::string FitRefusalText(FitRefusal reason, std::int32_t kind, std::int32_t pointCount) {
  switch (reason) {
    case FitRefusal::None:
      return {};
    case FitRefusal::NoSeries:
      return "no series to fit";
    case FitRefusal::UnknownKind:
      return "unknown fit kind " + std::to_string(kind);
    case FitRefusal::Domain:
      switch (kind) {
        case kFitPower:
          return "domain: the power fit needs every X and every Y greater than 0";
        case kFitExponential:
          return "domain: the exponential fit needs every Y greater than 0";
        default:
          return "domain: the natural log fit needs every X greater than 0";
      }
    case FitRefusal::TooFewPoints: {
      const int needed = std::max(2, TFitObj::FitOrder(kind) + 1);
      return "too few points: the " + std::string(KindName(kind)) + " needs at least " +
             std::to_string(needed) + " complete points, the series has " +
             std::to_string(pointCount);
    }
    case FitRefusal::Singular:
      return "singular: too few distinct X values to determine the coefficients";
    case FitRefusal::OutOfRange:
      return "a coefficient is beyond the number range";
    case FitRefusal::Model:
      return "the model could not be fitted";
  }
  return {};
}

std::string ModelEquationLine(const UserModel& model) {
  return "Y   = " + model.Formula;
}

std::string FitReport(const Series& series) {
  const FitResult& fit = series.Fit;
  std::string text = "Series #" + std::to_string(series.SeriesNumber) + "\n";
  if (!fit.FitOk) {
    const FitRefusal reason =
        fit.LastRefusal == FitRefusal::None ? FitRefusal::Singular : fit.LastRefusal;
    if (reason == FitRefusal::Model && !fit.Model.Why.empty()) {
      return text + "Fit refused: " + fit.Model.Why + "\n";
    }
    return text + "Fit refused: " + FitRefusalText(reason, fit.FitKind, series.PointCount) + "\n";
  }
  if (fit.FitKind == kFitUserModel) {
    const UserModel& model = fit.Model;
    for (std::size_t k = 0; k < model.Names.size() && k < model.Values.size(); ++k) {
      text += model.Names[k] + " = " + Digits(model.Values[k]) + " +- " +
              Digits(k < model.Errors.size() ? model.Errors[k] : 0) + "\n";
    }
    return text + "RSS = " + Digits(model.Rss) + "\nR^2 = " + Digits(static_cast<double>(fit.R2)) +
           "\n";
  }
  text += FitEquationLine(fit.FitKind) + "\n";
  const Real coefficients[6] = {fit.A, fit.B, fit.C, fit.D, fit.E, fit.F};
  const ModelFitResult measures = FitUncertainties(series);
  for (int k = 0; k < FitCoefficientCount(fit.FitKind); ++k) {
    text += std::string(1, FitCoefficientName(k)) + "   = " + FullPrecision(coefficients[k]);
    if (measures.ok) {
      char error[40];
      std::snprintf(error, sizeof error, " +- %.17g",
                    measures.parameters[static_cast<std::size_t>(k)].standardError);
      text += error;
    }
    text += "\n";
  }
  return text + "R^2 = " + FullPrecision(fit.R2) + "\n";
}

std::string FullFitReport(const Workspace& workspace) {
  std::string text;
  for (const Series* series : workspace.DataWindows) {
    const FitResult& fit = series->Fit;
    if (!series->FitActive || !fit.FitOk) continue;
    const ModelFitResult m = FitUncertainties(*series);
    if (!m.ok) continue;
    if (!text.empty()) text += "\n";
    const bool model = fit.FitKind == kFitUserModel;
    text += series->Caption() + "\n" +
            (model ? ModelEquationLine(fit.Model) : FitEquationLine(fit.FitKind)) + "\n";
    const bool logU = fit.FitKind == kFitPower || fit.FitKind == kFitNaturalLog;
    const bool logV = fit.FitKind == kFitPower || fit.FitKind == kFitExponential;
    if (logU || logV) {
      text += std::string("fitted as the straight line ") + (logV ? "Ln(Y)" : "Y") + " = " +
              (logV ? "Ln(A)" : "A") + " + B*" + (logU ? "Ln(X)" : "X") +
              "; the measures below are the line's\n";
    }
    // Two lines a coefficient rather than columns: the text window's type is proportional.
    for (const ParameterEstimate& p : m.parameters) {
      if (p.fixed) {
        text += p.name + " = " + Digits(p.value) + "\n    fixed\n";
        continue;
      }
      text += p.name + " = " + Digits(p.value) + "\n    standard error " + Digits(p.standardError) +
              ", t value " + Digits(p.tValue, 6) + ", 95 % interval " + Digits(p.low95) + " to " +
              Digits(p.high95) + "\n";
    }
    text += "R^2 = " + Digits(m.r2) + "   adjusted R^2 = " + Digits(m.adjustedR2) + "\n";
    text += "Residual sum of squares = " + Digits(m.rss) +
            "   standard deviation = " + Digits(m.residualSd) +
            "   degrees of freedom = " + std::to_string(m.dof) + "\n";
    if (model) {
      text += "Solved by Levenberg-Marquardt with exact derivatives in " +
              std::to_string(m.iterations) + (m.iterations == 1 ? " iteration" : " iterations") +
              (m.stopReason.empty() ? std::string() : ": " + m.stopReason) + ".\n";
    } else {
      text += "Solved directly as linear least squares (no iterations).\n";
    }
  }
  return text.empty() ? "No series has a fit.\n" : text;
}

}  // namespace tavel
