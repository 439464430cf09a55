#pragma once

namespace pointillo {

// The product's name and version as its texts show them.
inline constexpr char kProductVersion[] = "Pointillo V1.0";
// Author and contact fields of the code header and the about text: the team, not a person.
inline constexpr char kAuthor[] = "Pointillo Team";
inline constexpr char kEmail[] = "support@pointillo.example";
// The version pointillo --version prints.
inline constexpr char kToolVersion[] = "1.0.0";

} // namespace pointillo
