#include "kelvo/interceptor.h"

#include <nlohmann/json.hpp>
#include <tuple>
#include <type_traits>
#include <unordered_map>

#include "host/members.h"
#include "platform/text.h"

namespace kelvo {

namespace {

constexpr std::size_t kLongString = 64;

// Trace values are written as JSON writes them: strings quoted and escaped, numbers in the
// shortest form that reads back.
std::string Json(const nlohmann::json& value) {
  return value.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace);
}

std::string Render(const host::Variant& value);

// Values separated by ", ".
template <class T>
std::string RenderList(const std::vector<T>& values) {
  std::string out;
  for (std::size_t i = 0; i < values.size(); ++i) out += (i ? ", " : "") + Render(values[i]);
  return out;
}

std::string Render(const host::Variant& value) {
  struct Visitor {
    std::string operator()(std::monostate) const { return "empty"; }
    std::string operator()(bool v) const { return v ? "true" : "false"; }
    std::string operator()(std::int16_t v) const { return std::to_string(v); }
    std::string operator()(std::int32_t v) const { return std::to_string(v); }
    std::string operator()(double v) const { return Json(v); }
    std::string operator()(const std::u16string& v) const { return TraceValue(v); }
    std::string operator()(const host::StringArray& v) const { return "[" + RenderList(v) + "]"; }
    std::string operator()(const std::shared_ptr<host::Object>& v) const {
      return v ? "<object>" : "nothing";
    }
  };
  return std::visit(Visitor{}, value);
}

// The trace line of a use of `name` ("Object.Member").
std::string TraceLine(const std::string& name, host::MemberKind kind,
                      const std::vector<host::Variant>& arguments) {
  switch (kind) {
    case host::MemberKind::read:
      return name;
    case host::MemberKind::write:
      return name + "=" + RenderList(arguments);
    case host::MemberKind::call:
    case host::MemberKind::late:
      break;
  }
  return name + "(" + RenderList(arguments) + ")";
}

template <class T>
struct IsRef : std::false_type {};
template <class T>
struct IsRef<host::Ref<T>> : std::true_type {};

}  // namespace

std::string TraceValue(const std::u16string& text) {
  if (text.size() > kLongString) return "<string of " + std::to_string(text.size()) + " characters>";
  return Json(platform::ToUtf8(text));
}

struct Interceptor::State {
  bool trace = false;
  std::vector<Fault> faults;
  std::unordered_map<std::string, std::int64_t> counts;
  std::vector<std::string> lines;

  // Counts one use of `member` of `object` by its name ("Object.Member"), keeps the trace line
  // (made by `make_line` from the name) when tracing, and throws when a fault hits the use.
  template <class MakeLine>
  void Record(std::string_view object, std::string_view member, const MakeLine& make_line) {
    const std::string name = std::string(object) + "." + std::string(member);
    const std::int64_t count = ++counts[name];
    if (trace) lines.push_back(make_line(name));
    for (const Fault& fault : faults) {
      if (fault.member == name && (!fault.nth || *fault.nth == count)) {
        throw host::Error(host::ErrorKind::kHost, name + " failed (call " + std::to_string(count) +
                                                      " of it, a fault set by the host)");
      }
    }
  }
};

namespace {

using State = Interceptor::State;
using StatePtr = std::shared_ptr<State>;

template <class I>
std::shared_ptr<I> WrapObject(const StatePtr& state, std::shared_ptr<I> object);
template <class I>
host::Ref<I> WrapRef(const StatePtr& state, host::Ref<I> object) {
  return host::Ref<I>(WrapObject<I>(state, std::move(object).shared()));
}

// The part every wrapper shares: the wrapped object, the recorder, and late binding by name.
template <class I>
class Traced : public I {
 public:
  Traced(StatePtr state, std::shared_ptr<I> inner) : state_(std::move(state)), inner_(std::move(inner)) {}
  host::Variant InvokeByName(std::u16string_view member, std::vector<host::Variant>& args) override {
    state_->Record(I::kInterfaceName, platform::ToUtf8(member),
                   [&](const std::string& name) { return TraceLine(name, host::MemberKind::late, args); });
    return inner_->InvokeByName(member, args);
  }

 protected:
  using Interface = I;

  // Records the use of `member` with `arguments`, then calls `function` on the wrapped object
  // with them; an object it returns is wrapped in turn.
  template <class R, class... P, class... A>
  R Forward(host::MemberKind kind, const char* member, R (I::*function)(P...), std::tuple<A&...> arguments) {
    state_->Record(I::kInterfaceName, member, [&](const std::string& name) {
      return std::apply(
          [&](const auto&... values) { return TraceLine(name, kind, {host::Variant(values)...}); },
          arguments);
    });
    return std::apply(
        [&](auto&... values) -> R {
          if constexpr (std::is_void_v<R>) {
            (inner_.get()->*function)(values...);
          } else if constexpr (IsRef<R>::value) {
            return Wrap((inner_.get()->*function)(values...));
          } else {
            return (inner_.get()->*function)(values...);
          }
        },
        arguments);
  }
  template <class T>
  host::Ref<T> Wrap(host::Ref<T> object) {
    return WrapRef<T>(state_, std::move(object));
  }

  StatePtr state_;
  std::shared_ptr<I> inner_;
};

// The wrapper of each kind of host object.
template <class I>
class Wrapper;

// A walk over a wrapped collection is not recorded; its items are wrapped.
template <class T>
class Wrapper<host::Collection<T>> final : public Traced<host::Collection<T>> {
 public:
  using Traced<host::Collection<T>>::Traced;
  std::int32_t Count() override { return this->inner_->Count(); }
  host::Ref<T> GetAt(std::int32_t index) override { return this->Wrap(this->inner_->GetAt(index)); }
};

// The other wrappers are made from the member lists: one override for each early-bound member,
// recording its use and forwarding it. Late-bound members pass through Traced::InvokeByName.
#define TRACED_MEMBER(kind, result, member, parameters, arguments)                               \
  HOST_IF_EARLY_BOUND(                                                                           \
      kind, result HOST_FUNCTION(kind, member) parameters override {                             \
        return Forward(host::MemberKind::kind, #member, &Interface::HOST_FUNCTION(kind, member), \
                       std::tie arguments);                                                      \
      })
#define TRACED_OBJECT(object, members)                              \
  template <>                                                       \
  class Wrapper<host::object> final : public Traced<host::object> { \
   public:                                                          \
    using Traced::Traced;                                           \
    members(TRACED_MEMBER)                                          \
  };
HOST_OBJECTS(TRACED_OBJECT)
#undef TRACED_OBJECT
#undef TRACED_MEMBER

template <class I>
std::shared_ptr<I> WrapObject(const StatePtr& state, std::shared_ptr<I> object) {
  if (!object) return nullptr;
  return std::make_shared<Wrapper<I>>(state, std::move(object));
}

}  // namespace

Interceptor::Interceptor(bool trace, std::vector<Fault> faults) : state_(std::make_shared<State>()) {
  state_->trace = trace;
  state_->faults = std::move(faults);
}

std::shared_ptr<host::Repository> Interceptor::Wrap(std::shared_ptr<host::Repository> object) const {
  return WrapObject(state_, std::move(object));
}
std::shared_ptr<host::Element> Interceptor::Wrap(std::shared_ptr<host::Element> object) const {
  return WrapObject(state_, std::move(object));
}
std::shared_ptr<host::InfoBag> Interceptor::Wrap(std::shared_ptr<host::InfoBag> object) const {
  return WrapObject(state_, std::move(object));
}

std::vector<std::string> Interceptor::TakeTrace() {
  std::vector<std::string> lines;
  lines.swap(state_->lines);
  return lines;
}

bool Interceptor::tracing() const { return state_->trace; }

std::int64_t Interceptor::CallCount(const std::string& member) const {
  const auto it = state_->counts.find(member);
  return it == state_->counts.end() ? 0 : it->second;
}

}  // namespace kelvo
