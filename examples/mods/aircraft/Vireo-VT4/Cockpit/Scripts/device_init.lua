-- cockpit devices of the VT-4
creators = {}
creators[1] = {"avSimpleElectricSystem", current_mod_path .. "/Cockpit/Scripts/Electric/electric.lua"}
creators[2] = {"avLuaDevice", current_mod_path .. "/Cockpit/Scripts/Engine/engine.lua"}
