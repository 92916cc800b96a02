// The floor for reading a BPMN file: load it and parse it in place with pugixml, nothing more.
// The BPMN benchmark compares the end-to-end validation time with this.
#include <fstream>
#include <iostream>
#include <pugixml.hpp>
#include <string>

int main(int argc, char** argv) {
  if (argc != 2) {
    std::cerr << "usage: bench_bpmn_parse FILE\n";
    return 2;
  }
  std::ifstream in(argv[1], std::ios::binary);
  in.seekg(0, std::ios::end);
  std::string bytes(static_cast<std::size_t>(in.tellg()), '\0');
  in.seekg(0, std::ios::beg);
  in.read(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  pugi::xml_document document;
  const pugi::xml_parse_result result = document.load_buffer_inplace(bytes.data(), bytes.size());
  if (!result) {
    std::cerr << argv[1] << ": " << result.description() << " at offset " << result.offset << "\n";
    return 1;
  }
  std::cout << argv[1] << ": " << bytes.size() << " bytes parsed\n";
  return 0;
}
