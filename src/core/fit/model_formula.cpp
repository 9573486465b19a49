#include "core/fit/model_formula.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdlib>
#include <numbers>
#include <string>

namespace tavel {

std::string ModelFormula::ParseError::Text() const {
  return "at character " + std::to_string(position) + ": " + expected + " expected";
}

// Recursive descent over the grammar
//   sum     = product { ("+" | "-") product }
//   product = unary { ("*" | "/") unary }
//   unary   = ("-" | "+") unary | power
//   power   = primary [ ("^" | "**") unary ]
//   primary = number | name [ "(" sum ")" ] | "(" sum ")" | "[" sum "]"
class FormulaParser {
 public:
  FormulaParser(std::string_view text, ModelFormula& out) : text_(text), out_(out) {}

  bool Run(ModelFormula::ParseError* error) {
    const int root = Sum();
    Blanks();
    if (root >= 0 && at_ < text_.size()) Fail("an operator");
    if (failed_) {
      if (error != nullptr) *error = error_;
      return false;
    }
    return true;
  }

 private:
  using Op = ModelFormula::Op;

  void Blanks() {
    while (at_ < text_.size() && std::isspace(static_cast<unsigned char>(text_[at_]))) ++at_;
  }
  bool Take(std::string_view token) {
    Blanks();
    if (text_.substr(at_, token.size()) != token) return false;
    at_ += token.size();
    return true;
  }
  int Fail(const char* expected) {
    if (!failed_) {
      failed_ = true;
      error_.position = at_ + 1;
      error_.expected = expected;
    }
    return -1;
  }
  int Add(Op op, int a = -1, int b = -1) {
    ModelFormula::Node node;
    node.op = op;
    node.a = a;
    node.b = b;
    const auto& nodes = out_.nodes_;
    node.varies = op == Op::Parameter || (a >= 0 && nodes[static_cast<std::size_t>(a)].varies) ||
                  (b >= 0 && nodes[static_cast<std::size_t>(b)].varies);
    out_.nodes_.push_back(node);
    return static_cast<int>(out_.nodes_.size()) - 1;
  }

  int Sum() {
    int left = Product();
    while (left >= 0) {
      Blanks();
      if (Take("+")) {
        const int right = Product();
        left = right < 0 ? -1 : Add(Op::Add, left, right);
      } else if (Take("-")) {
        const int right = Product();
        left = right < 0 ? -1 : Add(Op::Subtract, left, right);
      } else {
        break;
      }
    }
    return left;
  }

  int Product() {
    int left = Unary();
    while (left >= 0) {
      Blanks();
      // "**" is a power, not two products.
      if (text_.substr(at_, 2) != "**" && Take("*")) {
        const int right = Unary();
        left = right < 0 ? -1 : Add(Op::Multiply, left, right);
      } else if (Take("/")) {
        const int right = Unary();
        left = right < 0 ? -1 : Add(Op::Divide, left, right);
      } else {
        break;
      }
    }
    return left;
  }

  int Unary() {
    if (Take("-")) {
      const int operand = Unary();
      return operand < 0 ? -1 : Add(Op::Negate, operand);
    }
    if (Take("+")) return Unary();
    return Power();
  }

  int Power() {
    const int base = Primary();
    if (base < 0) return -1;
    if (Take("**") || Take("^")) {
      const int exponent = Unary();
      return exponent < 0 ? -1 : Add(Op::Power, base, exponent);
    }
    return base;
  }

  int Primary() {
    Blanks();
    if (at_ >= text_.size()) return Fail("a number, a name or '('");
    const char c = text_[at_];
    if (c == '(' || c == '[') {
      ++at_;
      const int inner = Sum();
      if (inner < 0) return -1;
      if (!Take(c == '(' ? ")" : "]")) return Fail(c == '(' ? "')'" : "']'");
      return inner;
    }
    if (std::isdigit(static_cast<unsigned char>(c)) || c == '.') return Number();
    if (std::isalpha(static_cast<unsigned char>(c)) || c == '_') return Name();
    return Fail("a number, a name or '('");
  }

  int Number() {
    const std::size_t start = at_;
    while (at_ < text_.size() && std::isdigit(static_cast<unsigned char>(text_[at_]))) ++at_;
    if (at_ < text_.size() && text_[at_] == '.') ++at_;
    while (at_ < text_.size() && std::isdigit(static_cast<unsigned char>(text_[at_]))) ++at_;
    if (at_ - start == 1 && text_[start] == '.') {
      at_ = start;
      return Fail("a digit");
    }
    if (at_ < text_.size() && (text_[at_] == 'e' || text_[at_] == 'E')) {
      std::size_t e = at_ + 1;
      if (e < text_.size() && (text_[e] == '+' || text_[e] == '-')) ++e;
      if (e < text_.size() && std::isdigit(static_cast<unsigned char>(text_[e]))) {
        at_ = e;
        while (at_ < text_.size() && std::isdigit(static_cast<unsigned char>(text_[at_]))) ++at_;
      }
    }
    const int node = Add(Op::Number);
    out_.nodes_[static_cast<std::size_t>(node)].value =
        std::strtod(std::string(text_.substr(start, at_ - start)).c_str(), nullptr);
    return node;
  }

  int Name() {
    const std::size_t start = at_;
    while (at_ < text_.size() &&
           (std::isalnum(static_cast<unsigned char>(text_[at_])) || text_[at_] == '_')) {
      ++at_;
    }
    const std::string name(text_.substr(start, at_ - start));
    static const struct {
      const char* name;
      Op op;
    } functions[] = {{"exp", Op::Exp},     {"log", Op::Log},     {"ln", Op::Log},
                     {"log10", Op::Log10}, {"sqrt", Op::Sqrt},   {"abs", Op::Abs},
                     {"sin", Op::Sin},     {"cos", Op::Cos},     {"tan", Op::Tan},
                     {"asin", Op::Asin},   {"acos", Op::Acos},   {"atan", Op::Atan},
                     {"arctan", Op::Atan}, {"sinh", Op::Sinh},   {"cosh", Op::Cosh},
                     {"tanh", Op::Tanh}};
    for (const auto& f : functions) {
      if (name != f.name) continue;
      if (!Take("(")) return Fail("'(' after the function's name");
      const int argument = Sum();
      if (argument < 0) return -1;
      if (!Take(")")) return Fail("')'");
      return Add(f.op, argument);
    }
    if (name == "x" || name == "X") return Add(Op::Variable);
    if (name == "pi") {
      const int node = Add(Op::Number);
      out_.nodes_[static_cast<std::size_t>(node)].value = std::numbers::pi;
      return node;
    }
    auto& names = out_.parameters_;
    const auto found = std::find(names.begin(), names.end(), name);
    const int node = Add(Op::Parameter);
    out_.nodes_[static_cast<std::size_t>(node)].index = static_cast<int>(found - names.begin());
    if (found == names.end()) names.push_back(name);
    return node;
  }

  std::string_view text_;
  ModelFormula& out_;
  std::size_t at_ = 0;
  bool failed_ = false;
  ModelFormula::ParseError error_;
};

std::optional<ModelFormula> ModelFormula::Parse(std::string_view text, ParseError* error) {
  ModelFormula formula;
  formula.text_ = std::string(text);
  FormulaParser parser(formula.text_, formula);
  if (!parser.Run(error)) return std::nullopt;
  return formula;
}

double ModelFormula::Evaluate(double x, const double* p, std::vector<double>* gradient) const {
  const std::size_t n = parameters_.size();
  const bool withGradient = gradient != nullptr;
  values_.resize(nodes_.size());
  if (withGradient) gradients_.assign(nodes_.size() * n, 0.0);
  for (std::size_t i = 0; i < nodes_.size(); ++i) {
    const Node& node = nodes_[i];
    const double a = node.a >= 0 ? values_[static_cast<std::size_t>(node.a)] : 0;
    const double b = node.b >= 0 ? values_[static_cast<std::size_t>(node.b)] : 0;
    // The value and the factors of the chain rule: d = da * ga + db * gb.
    double v = 0, da = 0, db = 0;
    switch (node.op) {
      case Op::Number: v = node.value; break;
      case Op::Variable: v = x; break;
      case Op::Parameter: v = p[node.index]; break;
      case Op::Add: v = a + b; da = 1; db = 1; break;
      case Op::Subtract: v = a - b; da = 1; db = -1; break;
      case Op::Multiply: v = a * b; da = b; db = a; break;
      case Op::Divide: v = a / b; da = 1 / b; db = -v / b; break;
      case Op::Power:
        v = std::pow(a, b);
        // d(a^b) = b a^(b-1) da + a^b ln(a) db; the second term only where b varies.
        da = b == 0 ? 0 : b * std::pow(a, b - 1);
        db = v == 0 || !nodes_[static_cast<std::size_t>(node.b)].varies ? 0 : v * std::log(a);
        break;
      case Op::Negate: v = -a; da = -1; break;
      case Op::Exp: v = std::exp(a); da = v; break;
      case Op::Log: v = std::log(a); da = 1 / a; break;
      case Op::Log10: v = std::log10(a); da = 1 / (a * std::numbers::ln10); break;
      case Op::Sqrt: v = std::sqrt(a); da = 0.5 / v; break;
      case Op::Abs: v = std::fabs(a); da = a < 0 ? -1 : 1; break;
      case Op::Sin: v = std::sin(a); da = std::cos(a); break;
      case Op::Cos: v = std::cos(a); da = -std::sin(a); break;
      case Op::Tan: v = std::tan(a); da = 1 + v * v; break;
      case Op::Asin: v = std::asin(a); da = 1 / std::sqrt(1 - a * a); break;
      case Op::Acos: v = std::acos(a); da = -1 / std::sqrt(1 - a * a); break;
      case Op::Atan: v = std::atan(a); da = 1 / (1 + a * a); break;
      case Op::Sinh: v = std::sinh(a); da = std::cosh(a); break;
      case Op::Cosh: v = std::cosh(a); da = std::sinh(a); break;
      case Op::Tanh: v = std::tanh(a); da = 1 - v * v; break;
    }
    values_[i] = v;
    if (!withGradient) continue;
    double* g = gradients_.data() + i * n;
    if (node.op == Op::Parameter) {
      g[node.index] = 1;
      continue;
    }
    if (node.a >= 0 && nodes_[static_cast<std::size_t>(node.a)].varies) {
      const double* ga = gradients_.data() + static_cast<std::size_t>(node.a) * n;
      for (std::size_t k = 0; k < n; ++k) g[k] += da * ga[k];
    }
    if (node.b >= 0 && nodes_[static_cast<std::size_t>(node.b)].varies) {
      const double* gb = gradients_.data() + static_cast<std::size_t>(node.b) * n;
      for (std::size_t k = 0; k < n; ++k) g[k] += db * gb[k];
    }
  }
  if (nodes_.empty()) return 0;
  if (withGradient) {
    gradient->assign(gradients_.end() - static_cast<std::ptrdiff_t>(n), gradients_.end());
  }
  return values_.back();
}

}  // namespace tavel
