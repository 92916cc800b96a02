#include "kelvo/session.h"

namespace kelvo {

Session::Session(std::shared_ptr<Host> host, std::optional<Interceptor> interceptor)
    : host_(std::move(host)), interceptor_(std::move(interceptor)) {
  std::shared_ptr<host::Repository> repository = host_;
  if (interceptor_) repository = interceptor_->Wrap(std::move(repository));
  repository_ = std::move(repository);
}

std::shared_ptr<host::Object> Session::Element(std::int32_t id) const {
  ElementObject* found = host_->model().FindElement(id);
  if (!found) return nullptr;
  std::shared_ptr<host::Element> element = Unowned<host::Element>(*found);
  if (interceptor_) element = interceptor_->Wrap(std::move(element));
  return element;
}

std::shared_ptr<host::Object> Session::InfoBag(const std::vector<host::Variant>& values) const {
  std::shared_ptr<host::InfoBag> bag = std::make_shared<InfoBagObject>(values);
  if (interceptor_) bag = interceptor_->Wrap(std::move(bag));
  return bag;
}

platform::CallResult Invoke(platform::DispatchObject& addin, std::u16string_view operation,
                            std::vector<host::Variant>& args) {
  std::vector<host::Variant*> refs;
  refs.reserve(args.size());
  for (auto& arg : args) refs.push_back(&arg);
  return addin.Invoke(operation, refs);
}

}  // namespace kelvo
