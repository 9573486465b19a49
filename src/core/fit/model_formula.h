#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tavel {

// A model the user types, y = f(x; parameters): `b1*(1-exp(-b2*x))`. The variable is x (or X);
// every other name that is neither a function nor `pi` is a parameter, numbered in the order it
// first appears. Operators + - * /, ^ and ** (right-associative, binding tighter than a unary
// minus: -x^2 is -(x^2)), parentheses and square brackets; the functions exp, log and ln (both
// natural), log10, sqrt, abs, sin, cos, tan, asin, acos, atan (arctan), sinh, cosh and tanh.
//
// Evaluation gives the value and its exact derivative with respect to every parameter (forward
// differentiation through the formula, not differences), in double precision.
class ModelFormula {
 public:
  struct ParseError {
    std::size_t position = 0;  // 1-based character of the formula where reading stopped
    std::string expected;      // what would have been read there: "a number or a name", "')'"
    std::string Text() const;  // "at character 7: ')' expected"
  };

  // The formula, or the first place where it does not parse.
  static std::optional<ModelFormula> Parse(std::string_view text, ParseError* error = nullptr);

  const std::vector<std::string>& Parameters() const { return parameters_; }
  const std::string& Text() const { return text_; }

  // f(x) for the parameter values p (one per Parameters()), and df/dp_k into gradient (resized
  // to the number of parameters) when given. A value outside a function's domain gives NaN, as
  // does an overflow; the caller decides what that means.
  double Evaluate(double x, const double* p, std::vector<double>* gradient = nullptr) const;

 private:
  enum class Op : unsigned char {
    Number, Variable, Parameter, Add, Subtract, Multiply, Divide, Power, Negate,
    Exp, Log, Log10, Sqrt, Abs, Sin, Cos, Tan, Asin, Acos, Atan, Sinh, Cosh, Tanh,
  };
  struct Node {
    Op op = Op::Number;
    double value = 0;  // the number, for Op::Number
    int index = 0;     // the parameter, for Op::Parameter
    int a = -1, b = -1;
    bool varies = false;  // depends on a parameter
  };
  friend class FormulaParser;

  std::string text_;
  std::vector<std::string> parameters_;
  // Children stand before their parents, so one pass in order evaluates the whole tree.
  std::vector<Node> nodes_;
  // Scratch space of Evaluate, one value and one gradient row per node.
  mutable std::vector<double> values_, gradients_;
};

}  // namespace tavel
