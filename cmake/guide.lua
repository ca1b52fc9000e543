-- guide.lua - pandoc filter that makes the user's guide from README.md (cmake/Guide.cmake): the
-- README without its sections for developers. A section is for developers when its heading begins
-- with one of the words below; it goes with all its subsections. Every other section is the
-- guide's, so a new section for users needs nothing more than its heading.
local DEVELOPERS = {"Set-up", "Building", "Performance", "Development"}

-- True when the heading begins with one of the developers' words.
local function for_developers(heading)
  local text = pandoc.utils.stringify(heading)
  for _, word in ipairs(DEVELOPERS) do
    if text:sub(1, #word) == word then
      return true
    end
  end
  return false
end

-- The blocks outside the developers' sections.
function Pandoc(doc)
  local kept = {}
  local dropping = nil -- the level of the heading whose section is being left out
  for _, block in ipairs(doc.blocks) do
    if block.t == "Header" and dropping and block.level <= dropping then
      dropping = nil
    end
    if block.t == "Header" and not dropping and for_developers(block) then
      dropping = block.level
    end
    if not dropping then
      table.insert(kept, block)
    end
  end
  return pandoc.Pandoc(kept, doc.meta)
end
